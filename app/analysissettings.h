// How the analysis is set up: the number of lines the engine reports (its MultiPV), kept in the
// settings store.
#pragma once

inline constexpr int MinAnalysisLines = 1, MaxAnalysisLines = 5, DefaultAnalysisLines = 3;

// The number of lines as last stored, brought within MinAnalysisLines..MaxAnalysisLines; the
// default when nothing (or no number) was stored.
int  analysisLineCount();
void setAnalysisLineCount(int count);
