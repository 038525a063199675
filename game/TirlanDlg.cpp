#include "game/TirlanDlg.h"

#include "framework/Button.h"
#include "framework/Messages.h"
#include "framework/StaticPicture.h"
#include "game/Game.h"
#include "game/Levels.h"
#include "game/Random.h"

#include <algorithm>
#include <cstdlib>

// NOTE: GCC's -Wmaybe-uninitialized misreads the empty group of an ungrouped Signals2
// connection once connect() is inlined (seen with the sanitizers' optimisation).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace {
// The tint index chosen last by any puzzle; 10 matches none of the three.
constexpr int noTintIndex = 10;
int lastTintIndex = noTintIndex;
} // namespace

int TirlanDlg::LastTintIndex() { return lastTintIndex; }

void TirlanDlg::ResetLastTintIndex() { lastTintIndex = noTintIndex; }

TirlanDlg::TirlanDlg(IMDialog* parent, const RECT& rect, bool tinted)
    : IMDialog(parent, &rect, 0), tinted(tinted)
{
    ChooseTint();
    ConnectTracked(sigMouseMove, this, [this](const IMMouseEvent& e) { return OnDragMove(e); });
}

TirlanDlg::~TirlanDlg()
{
    pieces.clear();
    GameState& game = CurrentGame();
    if (std::find(game.puzzles.begin(), game.puzzles.end(), this) != game.puzzles.end())
        ForgetGame();
}

void TirlanDlg::ChooseTint()
{
    ReseedFromTicks();
    int index = RandomBelow(static_cast<int>(kTintColours.size()));
    while (index == lastTintIndex)
        index = RandomBelow(static_cast<int>(kTintColours.size()));
    lastTintIndex = index;
    tintColour = kTintColours[static_cast<std::size_t>(index)];
}

void TirlanDlg::SetHeader(const std::wstring& textureName)
{
    CreatePicture(0, 0, textureName, baseLayer + kHeaderLayerOffset, 0xFFFFFFFF);
}

IMPicture* TirlanDlg::AddPiece(const std::wstring& textureName, int targetX, int targetY)
{
    ReseedFromTicks();
    IMPicture* picture = CreatePicture(0, 0, textureName, baseLayer + kPieceLayerOffset, 0xFFFFFFFF);
    if (picture == nullptr)
        return nullptr;
    ++remainingPieces;
    if (tinted) {
        picture->colour = tintColour;
        picture->SetDirty(true);
    }
    ScatterPiece(picture);
    ConnectTracked(picture->sigMouseButton, this, [this, targetX, targetY](const IMMouseEvent& e) {
        return OnPieceButton(e, targetX, targetY);
    });
    pieces.push_back(PieceSlot { picture, true });
    return picture;
}

void TirlanDlg::ScatterPiece(IMPicture* picture)
{
    const RECT area = scatterArea ? *scatterArea : kScatterArea;
    // A piece as large as the area (or larger) has no room to move: it goes to the corner.
    const int x = area.left + RandomBelow(area.right - area.left - picture->GetWidth());
    const int y = area.top + RandomBelow(area.bottom - area.top - picture->GetHeight());
    picture->MoveTo(x, y);
}

void TirlanDlg::SetHint(const std::wstring& textureName)
{
    const POINT origin = frameOrigin ? *frameOrigin : kFrameOrigin;
    hintPicture = CreatePicture(origin.x - 1, origin.y, textureName, baseLayer + kHeaderLayerOffset, 0xFFFFFFFF);
    if (hintPicture)
        hintPicture->Hide();
}

long TirlanDlg::OnDragMove(const IMMouseEvent& event)
{
    if (draggedPiece == nullptr)
        return 0;
    // The event is in the parent's frame; the pieces live in this dialog's.
    const RECT r = GetRect();
    draggedPiece->MoveTo(event.x - r.left - grabOffset.x, event.y - r.top - grabOffset.y);
    return 0;
}

long TirlanDlg::OnPieceButton(const IMMouseEvent& event, int targetX, int targetY)
{
    auto it = std::find_if(pieces.begin(), pieces.end(),
        [&](const PieceSlot& slot) { return slot.picture == event.sender; });
    if (it == pieces.end())
        return 0;
    IMPicture* picture = it->picture;
    // Right and middle presses count on placed pieces too.
    if ((event.Is(WM_RBUTTONDOWN) || event.Is(WM_MBUTTONDOWN)) && extraClickCounter)
        ++*extraClickCounter;
    if (!it->active)
        return 0;
    if (event.Is(WM_LBUTTONDOWN)) {
        // A piece still held from a release the window never saw goes back among the others.
        if (draggedPiece != nullptr && draggedPiece != picture)
            SetLayer(draggedPiece, baseLayer + kPieceLayerOffset);
        draggedPiece = picture;
        const POINT at = picture->GetPosition();
        grabOffset = POINT { event.x - at.x, event.y - at.y };
        dragTarget = POINT { targetX, targetY };
        SetLayer(picture, baseLayer + kDragLayerOffset);
    } else if (event.Is(WM_LBUTTONUP) && draggedPiece != nullptr) {
        DropPiece(event);
    }
    return 0;
}

void TirlanDlg::DropPiece(const IMMouseEvent& event)
{
    if (dragCounter)
        ++*dragCounter;
    IMPicture* dropped = draggedPiece;
    const POINT target = dragTarget;
    // Back among the pieces, as the last and so the topmost of them.
    SetLayer(dropped, baseLayer + kPieceLayerOffset);
    const POINT origin = frameOrigin ? *frameOrigin : kFrameOrigin;
    const int dx = event.x - grabOffset.x - target.x - origin.x;
    const int dy = event.y - origin.y - grabOffset.y - target.y;
    draggedPiece = nullptr;
    if (std::abs(dx) >= kSnapDistance || std::abs(dy) >= kSnapDistance)
        return;
    // The offsets are those of the dragged piece, so it is the one that is placed, even when
    // the release reached another piece (through a transparent part of the dragged one).
    auto it = std::find_if(pieces.begin(), pieces.end(),
        [&](const PieceSlot& slot) { return slot.picture == dropped; });
    if (it == pieces.end() || !it->active)
        return;
    it->active = false;
    if (--remainingPieces == 0)
        Complete();
    dropped->MoveTo(origin.x + target.x, origin.y + target.y);
}

void TirlanDlg::Complete()
{
    for (PieceSlot& slot : pieces)
        slot.picture->Hide();
    if (hintPicture) {
        if (tinted) {
            hintPicture->colour = tintColour;
            hintPicture->SetDirty(true);
        }
        hintPicture->Show();
    }
    GameState& game = CurrentGame();
    if (game.puzzles[static_cast<std::size_t>(game.current)] != this)
        return;
    if (game.nextArrow)
        game.nextArrow->Enable();
    if (game.wellDone)
        game.wellDone->Show();
}

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
