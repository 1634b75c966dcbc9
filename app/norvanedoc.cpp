#include "app/norvanedoc.h"

#include <QCoreApplication>

#include <cstdlib>
#include <ctime>

#include "book/book.h"
#include "engine/attacks.h"
#include "view/norvaneview.h"

bool engineStarted = false;

void startEngine() {
    if (engineStarted) return;
    initEngine();
    engineStarted = true;
}

CNorvaneDoc::CNorvaneDoc() {
    // clang-format off
    static constexpr std::uint32_t ids[16] = {0, 136, 135, 134, 133, 132, 131, 0,
                                              0, 142, 141, 140, 139, 138, 137, 0};
    // clang-format on
    std::copy(std::begin(ids), std::end(ids), m_pieceImageIds);
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    startEngine();
    const QByteArray book = (QCoreApplication::applicationDirPath() + "/book.dat").toLocal8Bit();
    setBookPath(book.constData());
}

CNorvaneDoc::~CNorvaneDoc() {
    m_sprites.RemoveAll();
    delete m_pBackground;
}

CNorvaneView* CNorvaneDoc::GetBoardView() const {
    return GetViews().empty() ? nullptr : qobject_cast<CNorvaneView*>(GetViews().front());
}

void CNorvaneDoc::AttachBoardView(CNorvaneView* view) {
    m_sprites.m_notify.m_pView = view;
    auto* background           = new CDIB;
    if (!background->Load(130)) {
        delete background;
        return;
    }
    SetBackground(background);
    for (int id = 131; id <= 142; ++id) {
        auto* sprite = new CSprite;
        if (!sprite->Load(id)) {
            delete sprite;
            break;
        }
        m_sprites.Insert(sprite);
        sprite->MapColorsToPalette(view->GetPalette());
    }
}

void CNorvaneDoc::SetBackground(CDIB* dib) {
    m_sprites.RemoveAll();
    if (dib != m_pBackground) delete m_pBackground;
    m_pBackground      = dib;
    CNorvaneView* view = GetBoardView();
    if (!view || !dib || !view->CreateBuffer(dib)) return;
    dib->MapColorsToPalette(view->GetPalette());
    view->Render(nullptr);
    view->Draw(nullptr);
}

CSprite* CNorvaneDoc::NewSprite(int colour, int piece) {
    if (colour < 0 || colour > 1 || piece < 1 || piece > 6) return nullptr;
    auto* sprite = new CSprite;
    if (!sprite->Load(static_cast<int>(m_pieceImageIds[colour * 8 + piece]))) {
        delete sprite;
        return nullptr;
    }
    m_sprites.Insert(sprite);
    return sprite;
}

void CNorvaneDoc::AddCoordinateSprites(bool flipped) {
    struct Strip {
        int id, x, y;
    };
    const Strip strips[] = {{flipped ? 104 : 143, 40, 275}, {flipped ? 105 : 144, 8, 14}};
    for (const Strip& strip : strips) {
        auto* sprite = new CSprite;
        if (!sprite->Load(strip.id)) {
            delete sprite;
            return;
        }
        sprite->SetPosition(strip.x, strip.y);
        m_sprites.Insert(sprite);
    }
}
