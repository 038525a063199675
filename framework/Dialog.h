#pragma once
// IMDialogBase<IMEmptyView> (IMDialog): the container control. It owns its children, keeps
// them by int layer (a higher layer, and a later child within a layer, lies on top), applies
// insertions and deletions only at fixed points of its update, paints its children clipped
// to its rectangle and offset by it, and routes mouse and keyboard input down the tree.
//
// Sections: construction and short-hands; container operations; routing; traversals.
//
// Invariant: the active child lists change only in Update() (pending insertions),
// ProcessPendingDeletes() and SetLayer(). While the dialog walks its children (update,
// paint, destroy, focus loss), SetLayer() is applied when the walk ends and deletions wait,
// so no walk sees its list change under it.
//
// Every dialog in the program uses the empty view, so only that instantiation exists.

#include "framework/Forward.h"
#include "framework/View.h"
#include "framework/ViewControl.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

template <class V> class IMDialogBase;

template <>
class IMDialogBase<IMEmptyView> : public IMViewControl<IMEmptyView> {
public:
    using ChildMap = std::map<int, std::vector<IMControl*>>;

    // ---- construction and short-hands ----

    // A pending child of `parent` on `layer`, focusable, covering `rect` (in the parent's
    // coordinates) or, when null, the whole back buffer.
    IMDialogBase(IMDialog* parent, const RECT* rect = nullptr, int layer = 0);
    // Deletes the queued children and any child still active or pending.
    ~IMDialogBase() override;

    // A picture of the texture at (x, y), as large as the image, drawn with `colour`.
    IMStaticPictureBase<IMTextureView>* CreatePicture(int x, int y, const std::wstring& textureName,
        int layer = 0, uint32_t colour = 0xFFFFFFFF);
    // A button with its state pictures at (x, y); empty names fall back to `normal`.
    IMButtonBase<IMStateView>* CreateButton(int x, int y, const std::wstring& normal,
        const std::wstring& disabled, const std::wstring& mouseOver, const std::wstring& pressed,
        int layer = 0);
    // A text label at (x, y), as large as its text.
    // NOTE: defined with the text renderer (graphics/TextLabel.cpp), not in Dialog.cpp, so
    // that the framework does not depend on it.
    IMStaticPictureBase<IMTextView>* CreateText(int x, int y, const std::wstring& text, int layer = 0);

    // ---- container operations ----

    // Queues `child` for activation at the next Update() and connects the focus handler to
    // its focus signals. A child already active or pending is left alone.
    void AddChild(IMControl* child, int layer);
    // Queues an active child for deletion (once); deletes a still pending child at once.
    void RemoveChild(IMControl* child);
    // The layer of an active child; 0 when it is not one.
    int GetLayer(IMControl* child) const;
    // Moves an active child to the top of `layer`; nothing when it is already on that layer
    // or is not active.
    void SetLayer(IMControl* child, int layer);
    // Deletes the queued children, clearing hovered and focusChild when they go.
    void ProcessPendingDeletes();

    // The topmost active child hit by the point (dialog-local coordinates), or null.
    IMControl* FindChildAt(int x, int y) const;
    // Re-evaluates the hovered child for a mouse event in this dialog's local space; the new
    // child gets its enter before the old one its leave.
    void UpdateHover(const IMMouseEvent& event);

    IMControl* GetHovered() const { return hovered; }
    IMControl* GetFocusChild() const { return focusChild; }
    const ChildMap& GetChildren() const { return children; }
    const ChildMap& GetPendingChildren() const { return pendingAdd; }
    // Whether `child` waits in this dialog's deletion queue.
    bool IsPendingDelete(const IMControl* child) const;

    // ---- overrides of IMControl ----

    long SetDirty(bool on) override;
    bool IsDirty() const override;
    bool HitTest(int x, int y) const override;
    long OnMouseMove(const IMMouseEvent& event) override;
    long OnMouseButton(const IMMouseEvent& event) override;
    long OnMouseLeave(const IMMouseEvent& event) override;
    long OnKey(const IMKeyboardEvent& event) override;
    long Paint(const IMEvent& event) override;
    long Update(const IMEvent& event) override;
    long Destroy(const IMEvent& event) override;
    long OnFocusLost(const IMEvent& event) override;

    // The last mouse position seen by this dialog, in its own local coordinates.
    int lastMouseX { 0 };
    int lastMouseY { 0 };

protected:
    // The focus handler connected to every child's sigFocusGained and sigFocusLost: a child
    // gaining the focus focuses this dialog (and so the path to the root) and unfocuses the
    // previous focus child. Returns 1.
    long OnChildFocus(const IMEvent& event);
    // Deletes every child (queued, active and pending) now. For a root that must drop its
    // tree before the services the tree uses shut down.
    void DeleteChildren();

    ChildMap children;
    ChildMap pendingAdd;
    std::vector<IMControl*> pendingDelete;
    IMControl* hovered { nullptr };
    IMControl* focusChild { nullptr };

private:
    // Calls fn(child) for every active child, layers ascending, in vector order.
    template <class Fn>
    void ForEachChild(Fn fn);
    void ApplyDeferredLayerMoves();
    void MoveToLayer(IMControl* child, int from, int to);
    static bool Contains(const ChildMap& map, const IMControl* child);
    void Forget(IMControl* child);

    int walking { 0 };  // > 0 while a walk over the active children runs
    int routing { 0 };  // > 0 while input or a hover update holds child pointers
    std::vector<std::pair<IMControl*, int>> deferredLayerMoves;
};
