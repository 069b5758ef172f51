// The forty-one effect sequences, each drawn through a Brush so that one body serves as
// transition and as clearing effect. W and H are the width and height of the area, named
// as in the effect descriptions so that the formulas read the same.
#pragma once
#include "effects/sequences/brush.h"

using EffectSequence = void (*)(Brush& brush, int W, int H);

void PlainCopy(Brush& b, int W, int H);  // 0

// Strip wipes.
void ColumnWipeLeftToRight(Brush& b, int W, int H);             // 1
void ColumnWipeRightToLeft(Brush& b, int W, int H);             // 2
void RowWipeTopToBottom(Brush& b, int W, int H);                // 3
void RowWipeBottomToTop(Brush& b, int W, int H);                // 4
void VerticalBlinds(Brush& b, int W, int H);                    // 5
void HorizontalBlinds(Brush& b, int W, int H);                  // 6
void RowsClosingFromTopAndBottom(Brush& b, int W, int H);       // 11
void ColumnsClosingFromLeftAndRight(Brush& b, int W, int H);    // 12
void RowsOpeningFromTheMiddle(Brush& b, int W, int H);          // 13
void ColumnsOpeningFromTheMiddle(Brush& b, int W, int H);       // 14
void FrameClosingFromAllEdges(Brush& b, int W, int H);          // 15
void SquareOpeningFromTheCentre(Brush& b, int W, int H);        // 16
void CrossOpeningFromTheCentre(Brush& b, int W, int H);         // 17
void InterleavedColumns(Brush& b, int W, int H);                // 18
void InterleavedRows(Brush& b, int W, int H);                   // 19
void InterleavedRowsAndColumns(Brush& b, int W, int H);         // 20

// Block patterns.
void BlockSnakeFromBottomRight(Brush& b, int W, int H);         // 7
void BlockSnakeFromTopLeft(Brush& b, int W, int H);             // 8
void FourPhaseBlockGrid(Brush& b, int W, int H);                // 10
void DiagonalsFromTopRightAndBottomLeft(Brush& b, int W, int H); // 21
void DiagonalsFromTopLeftAndBottomRight(Brush& b, int W, int H); // 22
void DiagonalsFromAllCorners(Brush& b, int W, int H);           // 23
void DiamondFromTheCentre(Brush& b, int W, int H);              // 24
void SquareFromTopLeft(Brush& b, int W, int H);                 // 26
void SquareFromTopRight(Brush& b, int W, int H);                // 27
void SquareFromBottomLeft(Brush& b, int W, int H);              // 28
void SquareFromBottomRight(Brush& b, int W, int H);             // 29
void CombOfRows(Brush& b, int W, int H);                        // 30
void CombOfColumns(Brush& b, int W, int H);                     // 31
void CombOfRowsAndColumns(Brush& b, int W, int H);              // 32

// Random dissolves.
void RandomBlockDissolve(Brush& b, int W, int H);               // 9
void RandomLineDissolve(Brush& b, int W, int H);                // 25
void BandDissolveDownward(Brush& b, int W, int H);              // 33
void BandDissolveRightward(Brush& b, int W, int H);             // 34
void BandDissolveUpward(Brush& b, int W, int H);                // 35
void BandDissolveLeftward(Brush& b, int W, int H);              // 36

// Pushes.
void QuartersOneAfterAnother(Brush& b, int W, int H);           // 37
void QuartersByPairs(Brush& b, int W, int H);                   // 38
void InterlacedPushFromTheLeft(Brush& b, int W, int H);         // 39
void InterlacedPushFromTheRight(Brush& b, int W, int H);        // 40
