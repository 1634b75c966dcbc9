#include <QTest>

#include <cstring>
#include <vector>

#include "tests/qtestmain.h"
#include "view/osbview.h"
#include "view/sprite.h"

namespace {

// A sprite of one colour whose top-left pixel (and so its transparent index) is key.
CSprite* solidSprite(int x, int y, int w, int h, std::uint8_t colour, std::uint8_t key = 0) {
    auto* sprite = new CSprite;
    sprite->Create(w, h);
    for (int row = 0; row < h; ++row)
        std::memset(sprite->GetPixelAddress(0, row), colour, w);
    *sprite->GetPixelAddress(0, 0) = key;
    sprite->Initialize();
    sprite->SetPosition(x, y);
    return sprite;
}

// The board view's composition over a plain background: background, then the sprites from
// the deepest to the nearest. It records what it is asked to compose and to draw.
class SceneView : public COSBView {
public:
    CDIB               background;
    CSpriteList        sprites;
    std::vector<QRect> rendered, drawn;

    explicit SceneView(int size = 300) {
        background.Create(size, size);
        for (int y = 0; y < size; ++y)
            std::memset(background.GetPixelAddress(0, y), 1, size);
        CreateBuffer(&background);
        sprites.m_notify.m_pView = this;
    }
    void Render(const QRect* clip) override {
        rendered.push_back(clip ? *clip : QRect());
        const QRect r = clip ? clip->intersected(background.GetRect()) : background.GetRect();
        background.CopyBits(GetBuffer(), r.left(), r.top(), r.width(), r.height(), r.left(),
                            r.top(), -1);
        for (auto s = sprites.Sprites().rbegin(); s != sprites.Sprites().rend(); ++s)
            (*s)->Render(GetBuffer(), clip);
    }
    void Draw(const QRect* clip) override {
        drawn.push_back(clip ? *clip : QRect());
        COSBView::Draw(clip);
    }
    std::uint8_t pixel(int x, int y) { return *GetBuffer()->GetPixelAddress(x, y); }
};

} // namespace

class SpriteTest : public QObject {
    Q_OBJECT
private slots:
    void pixelAddressesCountRowsFromTheTop() {
        CDIB dib;
        QVERIFY(dib.Create(5, 3));
        QCOMPARE(dib.GetStride(), 8);
        QCOMPARE(dib.GetPixelAddress(0, 0), dib.GetBits() + 2 * 8); // top row is stored last
        QCOMPARE(dib.GetPixelAddress(4, 2), dib.GetBits() + 4);
        QVERIFY(!dib.GetPixelAddress(5, 0));
        QVERIFY(!dib.GetPixelAddress(0, 3));
        QVERIFY(!dib.GetPixelAddress(-1, 0));
        QCOMPARE(int(dib.GetColours()[200].green), 200); // the grey table
    }

    void equalDepthsPutTheNewerSpriteInFront() {
        SceneView view;
        CSprite*  older = solidSprite(10, 10, 32, 32, 5);
        CSprite*  newer = solidSprite(20, 20, 32, 32, 6);
        CSprite*  deep  = solidSprite(15, 15, 32, 32, 7);
        deep->SetZ(60);
        view.sprites.Insert(older);
        view.sprites.Insert(deep);
        view.sprites.Insert(newer);
        QCOMPARE(view.sprites.Sprites().front(), newer);
        QCOMPARE(view.sprites.Sprites().back(), deep);
        QCOMPARE(view.sprites.HitTest(25, 25), newer);
        view.Render(nullptr);
        QCOMPARE(view.pixel(25, 25), std::uint8_t(6));
        QCOMPARE(view.pixel(12, 12), std::uint8_t(5));
        QCOMPARE(view.pixel(16, 45), std::uint8_t(7));

        // Picked up: depth 10 brings the older sprite to the front, as the list's head.
        older->SetZ(10);
        QCOMPARE(view.sprites.Sprites().front(), older);
        QCOMPARE(view.sprites.HitTest(25, 25), older);
    }

    void transparentPixelsPassTheClickThrough() {
        CSpriteList list;
        CSprite*    back              = solidSprite(10, 10, 32, 32, 5);
        CSprite*    front             = solidSprite(10, 10, 32, 32, 6);
        *front->GetPixelAddress(5, 5) = 0; // the front sprite's transparent index
        *front->GetPixelAddress(6, 6) = 0;
        *back->GetPixelAddress(6, 6)  = 0;
        list.Insert(back);
        list.Insert(front);
        QCOMPARE(list.HitTest(14, 14), front);
        QCOMPARE(list.HitTest(15, 15), back);
        QCOMPARE(list.HitTest(16, 16), static_cast<CSprite*>(nullptr));
    }

    void hitTestBoundsAreStrict() {
        CSpriteList list;
        list.Insert(solidSprite(10, 20, 32, 32, 5, 9));
        struct Case {
            int  x, y;
            bool hit;
        };
        const Case cases[] = {{10, 30, false}, {11, 30, true},  {30, 20, false}, {30, 21, true},
                              {41, 51, true},  {42, 30, false}, {30, 52, false}, {11, 21, true}};
        for (const Case& c : cases)
            QVERIFY2((list.HitTest(c.x, c.y) != nullptr) == c.hit,
                     qPrintable(QString("%1,%2").arg(c.x).arg(c.y)));
    }

    void draggingMergesNearRectanglesAndKeepsFarOnesApart() {
        SceneView view;
        CSprite*  sprite = solidSprite(100, 100, 32, 32, 5);
        view.sprites.Insert(sprite);
        sprite->SetPosition(110, 104);
        QCOMPARE(view.DirtyList().size(), std::size_t(1));
        QCOMPARE(view.DirtyList().front(), QRect(100, 100, 42, 36));

        view.RenderAndDrawDirtyList();
        QVERIFY(view.DirtyList().empty());
        QCOMPARE(view.rendered, (std::vector<QRect>{QRect(100, 100, 42, 36)}));
        QCOMPARE(view.drawn, view.rendered);
        QCOMPARE(view.pixel(105, 110), std::uint8_t(1)); // uncovered: background again
        QCOMPARE(view.pixel(120, 120), std::uint8_t(5));

        view.rendered.clear();
        view.drawn.clear();
        sprite->SetPosition(200, 200);
        QCOMPARE(view.DirtyList().size(), std::size_t(2));
        view.RenderAndDrawDirtyList();
        QCOMPARE(view.rendered,
                 (std::vector<QRect>{QRect(110, 104, 32, 32), QRect(200, 200, 32, 32)}));
        QCOMPARE(view.drawn, view.rendered);
    }

    void spritesBeyondTheBufferDrawOnlyTheirVisiblePart() {
        SceneView view;
        CSprite*  corner = solidSprite(290, 285, 32, 32, 5);
        CSprite*  before = solidSprite(-20, -25, 32, 32, 6);
        CSprite*  gone   = solidSprite(400, -100, 32, 32, 7);
        for (CSprite* s : {corner, before, gone})
            view.sprites.Insert(s);
        view.Render(nullptr);
        QCOMPARE(view.pixel(299, 299), std::uint8_t(5));
        QCOMPARE(view.pixel(291, 286), std::uint8_t(5));
        QCOMPARE(view.pixel(289, 299), std::uint8_t(1));
        QCOMPARE(view.pixel(0, 0), std::uint8_t(6));
        QCOMPARE(view.pixel(11, 6), std::uint8_t(6));
        QCOMPARE(view.pixel(12, 6), std::uint8_t(1));
        const QRect clip(295, 0, 100, 100);
        corner->Render(view.GetBuffer(), &clip); // a clip reaching beyond the buffer

        // Blocks with any corner outside either image stay inside both.
        CDIB small;
        small.Create(3, 3);
        CDIB big;
        big.Create(10, 10);
        small.CopyBits(&big, 8, 8, 3, 3, 0, 0, -1);
        small.CopyBits(&big, -2, -2, 100, 100, 0, 0, -1);
        small.CopyBits(&big, 0, 0, 3, 3, 2, 2, 4);
        big.CopyBits(&small, 0, 0, 1 << 30, 1 << 30, -(1 << 30), 5, -1);
        big.CopyBits(&small, 0, 0, 0, 5, 0, 0, -1);
    }

    void transparentCopiesKeepTheDestination() {
        CDIB from, to;
        from.Create(4, 1);
        to.Create(4, 1);
        const std::uint8_t source[] = {3, 9, 3, 8}, before[] = {1, 1, 1, 1};
        std::memcpy(from.GetPixelAddress(0, 0), source, 4);
        std::memcpy(to.GetPixelAddress(0, 0), before, 4);
        from.CopyBits(&to, 0, 0, 4, 1, 0, 0, 3);
        const std::uint8_t expected[] = {1, 9, 1, 8};
        QVERIFY(std::memcmp(to.GetPixelAddress(0, 0), expected, 4) == 0);
        from.CopyBits(&to, 0, 0, 4, 1, 0, 0, 0x103); // only the low byte counts
        QVERIFY(std::memcmp(to.GetPixelAddress(0, 0), expected, 4) == 0);
        from.CopyBits(&to, 0, 0, 4, 1, 0, 0, -1);
        QVERIFY(std::memcmp(to.GetPixelAddress(0, 0), source, 4) == 0);
    }

    void mappingToThePaletteRewritesPixelsAndTheTransparentIndex() {
        CDIB background;
        background.Create(4, 4);
        DibColour* colours = background.GetColours();
        colours[0]         = {0, 0, 0, 0};
        colours[1]         = {255, 0, 255, 0}; // magenta, the key colour
        colours[2]         = {0, 0, 200, 0};   // red
        IdentityPalette palette(background);

        CSprite* sprite         = solidSprite(0, 0, 2, 2, 7, 9);
        sprite->GetColours()[7] = {0, 0, 190, 0};   // near red
        sprite->GetColours()[9] = {250, 5, 250, 0}; // near magenta
        QVERIFY(!sprite->MapColorsToPalette(nullptr));
        QVERIFY(sprite->MapColorsToPalette(&palette));
        QCOMPARE(*sprite->GetPixelAddress(1, 1), std::uint8_t(2));
        QCOMPARE(sprite->GetTransparentIndex(), std::uint8_t(1));
        QCOMPARE(int(sprite->GetColours()[1].red), 255);
        QCOMPARE(int(sprite->GetInfo().header.colourCount), 256);
        delete sprite;
    }

    void badImagesAreRefusedAndLeaveTheImageAsItWas() {
        CDIB dib;
        dib.Create(7, 7);
        QVERIFY(!dib.Load(999));
        // A valid 2 x 1 file, then broken copies of it.
        std::vector<std::uint8_t> file(14 + 40 + 256 * 4 + 4, 0);
        const auto                put32 = [&](std::size_t at, std::uint32_t v) {
            for (int i = 0; i < 4; ++i)
                file[at + i] = std::uint8_t(v >> (8 * i));
        };
        file[0] = 'B';
        file[1] = 'M';
        put32(10, 14 + 40 + 1024);
        put32(14, 40);
        put32(18, 2);
        put32(22, 1);
        file[26]              = 1;
        file[28]              = 8;
        file[file.size() - 4] = 42;
        QVERIFY(dib.LoadFromMemory(file.data(), file.size()));
        QCOMPARE(dib.GetWidth(), 2);
        QCOMPARE(*dib.GetPixelAddress(0, 0), std::uint8_t(42));

        dib.Create(7, 7);
        std::vector<std::uint8_t> bad = file;
        bad[28]                       = 24; // not 8 bits per pixel
        QVERIFY(!dib.LoadFromMemory(bad.data(), bad.size()));
        QVERIFY(!dib.LoadFromMemory(file.data(), file.size() - 1)); // bits cut short
        bad     = file;
        bad[13] = 0xFF; // the bits' offset far beyond the end
        QVERIFY(!dib.LoadFromMemory(bad.data(), bad.size()));
        QVERIFY(!dib.LoadFromMemory(file.data(), 20));
        QCOMPARE(dib.GetWidth(), 7);
    }

    void theWindowShowsTheBufferTheRightWayUp() {
        SceneView view(40);
        view.sprites.Insert(solidSprite(0, 0, 10, 10, 200, 9));
        view.Render(nullptr);
        view.resize(60, 60);
        const QImage shot = view.grab().toImage();
        QCOMPARE(qGray(shot.pixel(5, 5)), 200);
        QCOMPARE(qGray(shot.pixel(5, 30)), 1);
        QCOMPARE(qGray(shot.pixel(30, 5)), 1);
    }

    void withoutABufferNothingIsDrawn() {
        COSBView view;
        QVERIFY(!view.CreateBuffer(nullptr));
        QVERIFY(!view.GetBuffer());
        view.AddDirtyRegion(QRect(0, 0, 10, 10));
        view.RenderAndDrawDirtyList();
        view.resize(20, 20);
        QCOMPARE(view.grab().toImage().pixelColor(5, 5), view.palette().window().color());
    }
};

NORVANE_TEST(SpriteTest);
#include "sprite_test.moc"
