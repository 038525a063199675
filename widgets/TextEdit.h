#pragma once
// IMTextEdit: a text the pupil types into, with a blinking one-pixel caret. Characters are
// inserted at the caret; Backspace and Delete erase; Left, Right, Up and Down move the caret.
// The caret is a picture in the edit's parent dialog, drawn above the edit.

#include "framework/StaticPicture.h"
#include "framework/TextureView.h"
#include "graphics/TextView.h"

#include <string>

class IMTextEdit : public IMStaticPictureBase<IMTextView> {
public:
    explicit IMTextEdit(IMDialog* parent, int layer = 0);
    // Stops the blink timer.
    ~IMTextEdit() override;

    // Also lets the caret go.
    long Release() override;

    // The key handler, connected to the edit's own sigKey.
    virtual long OnTextKey(const IMKeyboardEvent& event);

    // Moves the caret to `index` (clamped to 0 .. text length) and places it.
    void SetCaret(int index);
    int GetCaret() const { return caretIndex; }
    // Sizes and places the caret picture after the character before it.
    void UpdateCaret();
    // The caret picture (a child of the edit's parent); null once it has been let go.
    IMStaticPictureBase<IMTextureView>* Caret() const;

    // Characters, Backspace and Delete change the text only while set.
    bool editable { true };

    // The caret's offset within its line, shared by every text edit, for Up and Down.
    static int rememberedColumn;

private:
    int LineOf(int index) const;
    void RememberColumn();
    void MoveByLine(bool up);
    long Blink(const IMEvent&);

    int caretIndex { 0 };
    int blinkTimer { 0 };
    IMStaticPictureBase<IMTextureView>* caret { nullptr };
    IMConnection caretAlive; // ends when the caret is released or destroyed
    int caretStyle { 1 };
    static bool columnKnown;
};
