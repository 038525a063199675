#include "widgets/TextEdit.h"

#include "framework/Dialog.h"
#include "framework/Messages.h"
#include "framework/Window.h"
#include "graphics/ResourceManager.h"
#include "graphics/TextTexture.h"

#include <algorithm>

int IMTextEdit::rememberedColumn = 0;
bool IMTextEdit::columnKnown = false;

IMTextEdit::IMTextEdit(IMDialog* parent, int layer) : IMStaticPictureBase<IMTextView>(parent, layer)
{
    focusable = true;
    if (parent) {
        caret = new IMStaticPictureBase<IMTextureView>(parent, layer);
        caret->SetTexture(L"EditBarKaretka");
        caret->Hide();
        // A handler that lives exactly as long as the caret takes part in the tree.
        caretAlive = ConnectTracked(caret->sigUpdate, caret, [](const IMEvent&) { return 0L; });
    }
    Connect(sigKey, this, &IMTextEdit::OnTextKey);
    ConnectTracked(sigFocusGained, this, [this](const IMEvent&) {
        if (auto* c = Caret())
            c->Show();
        return 0L;
    });
    ConnectTracked(sigFocusLost, this, [this](const IMEvent&) {
        if (auto* c = Caret())
            c->Hide();
        return 0L;
    });
    ConnectTracked(sigDirty, this, [this](const IMEvent&) {
        UpdateCaret();
        return 0L;
    });
    if (rootWindow) {
        blinkTimer = rootWindow->AddTimer(500);
        rootWindow->ConnectTimer(blinkTimer, boost::bind(&IMTextEdit::Blink, this, boost::placeholders::_1));
    }
}

IMTextEdit::~IMTextEdit()
{
    if (rootWindow && blinkTimer)
        rootWindow->RemoveTimer(blinkTimer);
}

long IMTextEdit::Release()
{
    if (auto* c = Caret())
        c->Release();
    caretAlive.disconnect();
    return IMStaticPictureBase<IMTextView>::Release();
}

IMStaticPictureBase<IMTextureView>* IMTextEdit::Caret() const { return caretAlive.connected() ? caret : nullptr; }

long IMTextEdit::Blink(const IMEvent&)
{
    auto* c = Caret();
    if (c && IsFocused()) {
        if (c->IsHidden())
            c->Show();
        else
            c->Hide();
    }
    return 0;
}

void IMTextEdit::SetCaret(int index)
{
    caretIndex = std::clamp(index, 0, GlyphCount());
    UpdateCaret();
}

void IMTextEdit::UpdateCaret()
{
    auto* c = Caret();
    if (!c)
        return;
    caretIndex = std::clamp(caretIndex, 0, GlyphCount());
    const RECT own = GetRect();
    int height = 0;
    POINT at { own.left, own.top };
    if (GlyphCount() == 0) {
        // As tall as a space of the edit's font.
        const int space = CreateTextTexture(L"TempSpaceBar", L" ", nullptr, textColour, fontHeight, fontFace, bold,
            italic, underline, backColour);
        if (space >= 0 && resourceManager) {
            if (const TextureSlot* slot = resourceManager->Slot(space))
                height = RectHeight(slot->imageRect);
            resourceManager->ReleaseTexture(space);
        }
    } else if (caretIndex == 0) {
        height = RectHeight(GetCharRect(0));
    } else {
        const RECT before = GetCharRect(caretIndex - 1);
        height = RectHeight(before);
        at = POINT { own.left + before.right, own.top + before.top };
    }
    c->SetRect(RECT { at.x, at.y, at.x + 1, at.y + height });
}

int IMTextEdit::LineOf(int index) const
{
    const auto& starts = LineStarts();
    int line = 0;
    for (size_t i = 0; i < starts.size(); ++i)
        if (starts[i] <= index)
            line = static_cast<int>(i);
    return line;
}

void IMTextEdit::RememberColumn()
{
    const auto& starts = LineStarts();
    rememberedColumn = starts.empty() ? caretIndex : caretIndex - starts[static_cast<size_t>(LineOf(caretIndex))];
    columnKnown = true;
}

void IMTextEdit::MoveByLine(bool up)
{
    const auto& starts = LineStarts();
    const int lines = static_cast<int>(starts.size());
    if (lines < 2)
        return;
    const int k = LineOf(caretIndex);
    const int length = GlyphCount();
    auto start = [&](int line) { return starts[static_cast<size_t>(line)]; };
    if (up) {
        if (k == 0)
            return;
        if (start(k - 1) + rememberedColumn < start(k))
            SetCaret(start(k - 1) + rememberedColumn);
        else
            SetCaret(start(k) - 1);
        return;
    }
    if (k >= lines - 1)
        return;
    if (start(k + 1) + rememberedColumn > length - 1)
        SetCaret(length - 1);
    else if (k + 1 == lines - 1)
        SetCaret(start(k + 1) + rememberedColumn);
    else if (start(k + 1) + rememberedColumn > start(k + 2))
        SetCaret(start(k + 2) - 1);
    else
        SetCaret(start(k + 1) + rememberedColumn);
}

long IMTextEdit::OnTextKey(const IMKeyboardEvent& event)
{
    if (event.Is(WM_CHAR) && editable) {
        const uint32_t code = event.wParam;
        if (code == VK_BACK) {
            // Erasing moves the caret through the layout (it is clamped to the shorter
            // text), so step back from the index the key found.
            const int at = caretIndex;
            if (at > 0) {
                EraseText(at - 1, 1);
                SetCaret(at - 1);
            }
        } else {
            // Control characters (Tab, Enter, Escape, line feed and the rest) insert nothing.
            const bool printable = code >= 0x20 && code != 0x7F && code <= 0x10FFFF;
            const std::wstring text = printable ? std::wstring(1, static_cast<wchar_t>(code)) : std::wstring();
            const int old = caretIndex;
            InsertText(old, text);
            SetCaret(old + static_cast<int>(text.size()));
        }
    }
    if (!columnKnown)
        RememberColumn();
    if (event.Is(WM_KEYDOWN)) {
        auto* c = Caret();
        switch (event.wParam) {
        case VK_LEFT:
            if (c)
                c->Show();
            SetCaret(caretIndex - 1);
            RememberColumn();
            break;
        case VK_RIGHT:
            if (c)
                c->Show();
            SetCaret(caretIndex + 1);
            RememberColumn();
            break;
        case VK_UP:
        case VK_DOWN:
            if (c)
                c->Show();
            MoveByLine(event.wParam == VK_UP);
            break;
        case VK_DELETE:
            if (caretIndex < GlyphCount() && editable)
                EraseText(caretIndex, 1);
            break;
        default:
            break;
        }
    }
    SetDirty(true);
    return 0;
}
