#pragma once
// TirlanDlg: one puzzle of the game. It owns its header, its finished picture (the hint,
// hidden until the puzzle is done) and its pieces, which start scattered over the left panel
// and are dragged into the frame. A piece dropped with its corner less than 20 pixels from
// its place, in x and in y, jumps there and is locked; the last one completes the puzzle.

#include "framework/Dialog.h"
#include "framework/Effects.h"

#include <cstdint>
#include <string>
#include <vector>

class TirlanDlg : public IMDialog {
public:
    struct PieceSlot {
        IMPicture* picture { nullptr };
        bool active { true };
    };

    // A puzzle dialog covering `rect` on layer 0 of `parent`; picks its tint (see ChooseTint).
    TirlanDlg(IMDialog* parent, const RECT& rect, bool tinted);
    ~TirlanDlg() override;

    // The header bar at (0, 0), above the pieces' background.
    void SetHeader(const std::wstring& textureName);
    // One piece scattered inside the scatter area, to be placed at `target` (relative to the
    // frame's corner). Null when the picture could not be created.
    IMPicture* AddPiece(const std::wstring& textureName, int targetX, int targetY);
    // The finished picture, at the frame's corner one pixel to the left, hidden.
    void SetHint(const std::wstring& textureName);

    // Moves the dragged piece with the mouse (connected to this dialog's sigMouseMove).
    long OnDragMove(const IMMouseEvent& event);
    // Pick-up, drop and extra clicks of a piece whose place is (targetX, targetY).
    long OnPieceButton(const IMMouseEvent& event, int targetX, int targetY);

    // The tint index every new puzzle must differ from; starts at a value matching none.
    static int LastTintIndex();
    static void ResetLastTintIndex();

    std::vector<PieceSlot> pieces;
    IMPicture* draggedPiece { nullptr };
    POINT dragTarget {};
    POINT grabOffset {};
    IMPicture* hintPicture { nullptr };
    const POINT* frameOrigin { nullptr };
    const RECT* scatterArea { nullptr };
    int baseLayer { 0 };
    int remainingPieces { 0 };
    uint32_t tintColour { 0xFFFFFFFF };
    bool tinted { false };
    int* dragCounter { nullptr };
    int* extraClickCounter { nullptr };

private:
    // Draws the tint index from the tick-seeded generator until it differs from the last one.
    void ChooseTint();
    // Moves `picture` to a random place that keeps it whole inside the scatter area; a piece
    // too large for the area goes to the area's corner.
    void ScatterPiece(IMPicture* picture);
    // Drops the dragged piece at the event's position; locks it when close to its place.
    void DropPiece(const IMMouseEvent& event);
    // All pieces placed: pieces hidden, hint shown, next arrow enabled, well done shown.
    void Complete();
};
