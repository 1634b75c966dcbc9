// The texts of the engine: its strength dialog and the status line while it thinks (UTF-8).
#pragma once

// clang-format off
namespace EngineText {
inline constexpr const char* Title       = "エンジンの強さ";
inline constexpr const char* Explanation = "対局するエンジンの強さを選んでください。\n"
                                           "括弧内はレーティングの目安です\n"
                                           "(Stockfish 15.1 との短い対局で測った値)。\n"
                                           "「最強」は従来どおりのエンジンです。";
// One name per level, beginner first; %1 is the level's estimated rating.
inline constexpr const char* Levels[] = {"入門 (約%1)", "初級 (約%1)", "中級 (約%1)",
                                         "上級 (約%1)", "有段者 (約%1)", "最強 (約%1)"};
// The status line while the engine thinks: %1 seconds, then depth and best move when known.
inline constexpr const char* Thinking    = "思考中 %1秒";
inline constexpr const char* Progress    = "  深さ %1  最善手 %2";
} // namespace EngineText
// clang-format on
