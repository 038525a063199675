#include "widgets/EditBar.h"

namespace {
void Place(IMControl* control, int x, int y, int w, int h) { control->SetRect(RECT { x, y, x + w, y + h }); }
} // namespace

IMEditBar::IMEditBar(IMDialog* parent, int layer) : IMDialog(parent, nullptr, layer)
{
    background = CreatePicture(0, 0, L"EditBarBackGround");
    for (auto& corner : corners)
        corner = CreatePicture(0, 0, L"EditBarKaretka");
    for (auto& edge : edges)
        edge = CreatePicture(0, 0, L"EditBarKaretka");
    edit = new IMTextEdit(this);
    edit->SetTextColour(0xFF000000);

    ConnectTracked(sigFocusGained, this, [this](const IMEvent&) { return edit->SetFocus(true); });
    ConnectTracked(sigFocusLost, this, [this](const IMEvent&) { return edit->SetFocus(false); });
    Connect(edit->sigKey, this, &IMEditBar::ScrollToCaret);
}

IMEditBar::~IMEditBar() = default;

long IMEditBar::SetRect(const RECT& r)
{
    IMDialog::SetRect(r);
    const int w = RectWidth(r);
    const int h = RectHeight(r);
    Place(corners[0], 0, 0, 1, 1);
    Place(corners[1], w - 1, 0, 1, 1);
    Place(corners[2], 0, h - 1, 1, 1);
    Place(corners[3], w - 1, h - 1, 1, 1);
    Place(edges[0], 0, 1, 1, h - 2);
    Place(edges[1], 1, 0, w - 2, 1);
    Place(edges[2], w - 1, 1, 1, h - 2);
    Place(edges[3], 1, h - 1, w - 2, 1);
    background->SetRect(RECT { 1, 1, w - 1, h - 1 });
    edit->SetRect(RECT { 3, 2, w - 1, h - 1 });
    edit->UpdateCaret();
    return 0;
}

std::wstring IMEditBar::GetText() const { return edit->GetText(); }

long IMEditBar::ScrollToCaret(const IMKeyboardEvent&)
{
    auto* caret = edit->Caret();
    if (!caret)
        return 0;
    const RECT before = caret->GetRect();
    const int width = RectWidth(GetRect());
    if (width - 3 < before.right) {
        const RECT own = edit->GetRect();
        edit->MoveTo(own.left + (width - 3 - before.right), own.top);
        // The edit is at least as wide as its text, so the text never wraps or clips.
        const RECT moved = edit->GetRect();
        const int caretRight = caret->GetRect().right;
        if (moved.right < caretRight)
            edit->SetRect(RECT { moved.left, moved.top, caretRight, moved.bottom });
    }
    if (before.left < 0) {
        const RECT own = edit->GetRect();
        edit->MoveTo(own.left - before.left + 2, own.top);
    }
    return 0;
}
