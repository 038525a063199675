#pragma once
// IMList: a framed column of text lines, one of which can be selected with the mouse. The
// visible parts live in a frame dialog the list makes in its own parent; the list itself
// draws nothing.

#include "framework/Dialog.h"
#include "framework/StaticPicture.h"
#include "graphics/TextLabel.h"

#include <string>
#include <vector>

class IMList : public IMViewControl<IMEmptyView> {
public:
    explicit IMList(IMDialog* parent, int layer = 0);
    ~IMList() override;

    // Also lets the frame dialog (and everything in it) go.
    long Release() override;
    // Lays out the frame inside `rect` (in the parent's coordinates).
    long SetRect(const RECT& rect) override;

    // A new black text line below the existing ones; clicking it selects it.
    IMTextLabel* AddItem(const std::wstring& text);
    // Selects `item` (null: none) and puts the selection bar behind it.
    long Select(IMTextLabel* item);

    IMTextLabel* Selected() const { return selected; }
    const std::vector<IMTextLabel*>& Items() const { return items; }
    IMDialog* ItemsDialog() const { return itemsDialog; }
    IMStaticPictureBase<IMTextureView>* SelectionMask() const { return mask; }

private:
    IMDialog* frame { nullptr };
    IMDialog* itemsDialog { nullptr };
    IMStaticPictureBase<IMTextureView>* background { nullptr };
    IMStaticPictureBase<IMTextureView>* top { nullptr };
    IMStaticPictureBase<IMTextureView>* bottom { nullptr };
    IMStaticPictureBase<IMTextureView>* left { nullptr };
    IMStaticPictureBase<IMTextureView>* right { nullptr };
    IMStaticPictureBase<IMTextureView>* mask { nullptr };
    std::vector<IMTextLabel*> items;
    IMTextLabel* selected { nullptr };
    IMConnection frameAlive; // ends when the frame dialog is released or destroyed
};
