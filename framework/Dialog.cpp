#include "framework/Dialog.h"

#include "framework/Button.h"
#include "framework/Messages.h"
#include "framework/PaintDevice.h"
#include "framework/StaticPicture.h"
#include "graphics/ResourceManager.h"

#include <algorithm>

namespace {

// Counts a walk or a routing pass for the life of a scope.
class DepthGuard {
public:
    explicit DepthGuard(int& depth) : depth(depth) { ++depth; }
    ~DepthGuard() { --depth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& depth;
};

RECT WholeBackBuffer()
{
    if (resourceManager)
        return RECT { 0, 0, resourceManager->BackBufferWidth(), resourceManager->BackBufferHeight() };
    return RECT { 0, 0, IMResourceManager::kBackBufferWidth, IMResourceManager::kBackBufferHeight };
}

// Removes `child` from the map; drops the layer entry that becomes empty. True when found.
bool EraseFrom(IMDialog::ChildMap& map, const IMControl* child)
{
    for (auto it = map.begin(); it != map.end(); ++it) {
        auto& layer = it->second;
        const auto found = std::find(layer.begin(), layer.end(), child);
        if (found == layer.end())
            continue;
        layer.erase(found);
        if (layer.empty())
            map.erase(it);
        return true;
    }
    return false;
}

}

// ---- construction and short-hands ----

IMDialogBase<IMEmptyView>::IMDialogBase(IMDialog* parent, const RECT* rect, int layer)
    : IMViewControl<IMEmptyView>(parent, layer)
{
    focusable = true;
    SetRect(rect ? *rect : WholeBackBuffer());
}

IMDialogBase<IMEmptyView>::~IMDialogBase() { DeleteChildren(); }

IMStaticPictureBase<IMTextureView>* IMDialogBase<IMEmptyView>::CreatePicture(
    int x, int y, const std::wstring& textureName, int layer, uint32_t colour)
{
    auto* picture = new IMStaticPictureBase<IMTextureView>(this, layer);
    picture->SetTexture(textureName);
    picture->MoveTo(x, y);
    picture->colour = colour;
    picture->SetDirty(true);
    return picture;
}

IMButtonBase<IMStateView>* IMDialogBase<IMEmptyView>::CreateButton(int x, int y,
    const std::wstring& normal, const std::wstring& disabled, const std::wstring& mouseOver,
    const std::wstring& pressed, int layer)
{
    auto* button = new IMButtonBase<IMStateView>(this, layer);
    button->SetStateTextures(normal, disabled, mouseOver, pressed);
    button->MoveTo(x, y);
    return button;
}

// ---- container operations ----

bool IMDialogBase<IMEmptyView>::Contains(const ChildMap& map, const IMControl* child)
{
    for (const auto& [layer, controls] : map)
        if (std::find(controls.begin(), controls.end(), child) != controls.end())
            return true;
    return false;
}

void IMDialogBase<IMEmptyView>::AddChild(IMControl* child, int layer)
{
    if (!child || child == this || Contains(children, child) || Contains(pendingAdd, child))
        return;
    pendingAdd[layer].push_back(child);
    Connect(child->sigFocusGained, this, &IMDialogBase<IMEmptyView>::OnChildFocus);
    Connect(child->sigFocusLost, this, &IMDialogBase<IMEmptyView>::OnChildFocus);
    SetDirty(true);
}

void IMDialogBase<IMEmptyView>::RemoveChild(IMControl* child)
{
    if (Contains(children, child)) {
        if (!IsPendingDelete(child)) {
            pendingDelete.push_back(child);
            SetDirty(true);
        }
        return;
    }
    if (EraseFrom(pendingAdd, child)) {
        // A control that never became active goes at once; the focus handler may already
        // have made it the focus child.
        Forget(child);
        delete child;
    }
}

bool IMDialogBase<IMEmptyView>::IsPendingDelete(const IMControl* child) const
{
    return std::find(pendingDelete.begin(), pendingDelete.end(), child) != pendingDelete.end();
}

int IMDialogBase<IMEmptyView>::GetLayer(IMControl* child) const
{
    for (const auto& [layer, controls] : children)
        if (std::find(controls.begin(), controls.end(), child) != controls.end())
            return layer;
    return 0;
}

void IMDialogBase<IMEmptyView>::SetLayer(IMControl* child, int layer)
{
    if (walking > 0) {
        deferredLayerMoves.emplace_back(child, layer);
        return;
    }
    if (!Contains(children, child))
        return;
    const int from = GetLayer(child);
    if (from != layer)
        MoveToLayer(child, from, layer);
}

void IMDialogBase<IMEmptyView>::MoveToLayer(IMControl* child, int from, int to)
{
    auto& source = children[from];
    source.erase(std::find(source.begin(), source.end(), child));
    if (source.empty())
        children.erase(from);
    children[to].push_back(child);
}

void IMDialogBase<IMEmptyView>::ApplyDeferredLayerMoves()
{
    if (deferredLayerMoves.empty())
        return;
    std::vector<std::pair<IMControl*, int>> moves;
    moves.swap(deferredLayerMoves);
    for (const auto& [child, layer] : moves)
        SetLayer(child, layer);
}

void IMDialogBase<IMEmptyView>::Forget(IMControl* child)
{
    if (hovered == child)
        hovered = nullptr;
    if (focusChild == child)
        focusChild = nullptr;
}

void IMDialogBase<IMEmptyView>::ProcessPendingDeletes()
{
    // Deleting while a walk or a routing pass holds child pointers would pull them from under
    // it; the queue is processed again at the end of every update.
    if (walking > 0 || routing > 0)
        return;
    while (!pendingDelete.empty()) {
        IMControl* child = pendingDelete.back();
        pendingDelete.pop_back();
        Forget(child);
        EraseFrom(children, child);
        delete child;
    }
}

void IMDialogBase<IMEmptyView>::DeleteChildren()
{
    // The lists are emptied before any destructor runs, so a child that releases itself
    // while it goes finds nothing to queue into.
    std::vector<IMControl*> doomed;
    doomed.swap(pendingDelete);
    for (auto* map : { &children, &pendingAdd }) {
        for (auto& [layer, controls] : *map)
            for (IMControl* child : controls)
                if (std::find(doomed.begin(), doomed.end(), child) == doomed.end())
                    doomed.push_back(child);
        map->clear();
    }
    hovered = nullptr;
    focusChild = nullptr;
    deferredLayerMoves.clear();
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it)
        delete *it;
}

template <class Fn>
void IMDialogBase<IMEmptyView>::ForEachChild(Fn fn)
{
    {
        DepthGuard guard(walking);
        for (auto& [layer, controls] : children)
            for (size_t i = 0; i < controls.size(); ++i)
                fn(controls[i]);
    }
    if (walking == 0)
        ApplyDeferredLayerMoves();
}

IMControl* IMDialogBase<IMEmptyView>::FindChildAt(int x, int y) const
{
    for (auto layer = children.rbegin(); layer != children.rend(); ++layer)
        for (auto child = layer->second.rbegin(); child != layer->second.rend(); ++child)
            if ((*child)->HitTest(x, y))
                return *child;
    return nullptr;
}

// ---- routing ----

void IMDialogBase<IMEmptyView>::UpdateHover(const IMMouseEvent& event)
{
    IMControl* sender = event.sender;
    if (sender != this) {
        // A child that changed away from the mouse does not disturb the hover.
        if (sender && !sender->HitTest(event.x, event.y) && sender != hovered)
            return;
        // lastMouseX/Y of a dialog the mouse is not over are stale: its children must not
        // be entered from them. The root has no parent and always sees the mouse.
        if (parent && !mouseOver)
            return;
    }
    DepthGuard guard(routing);
    IMControl* next = FindChildAt(event.x, event.y);
    IMControl* previous = hovered;
    if (next && next != previous) {
        hovered = next;
        next->OnMouseEnter(IMMouseEvent(this, IM_MOUSE_ENTER, event.wParam, event.x, event.y));
    }
    if (previous && previous != next) {
        hovered = next;
        previous->OnMouseLeave(IMMouseEvent(this, WM_MOUSELEAVE, event.wParam, event.x, event.y));
    }
}

long IMDialogBase<IMEmptyView>::OnMouseMove(const IMMouseEvent& event)
{
    IMControl::OnMouseMove(event);
    const RECT r = GetRect();
    lastMouseX = event.x - r.left;
    lastMouseY = event.y - r.top;
    const IMMouseEvent local(this, event.message, event.wParam, lastMouseX, lastMouseY);
    DepthGuard guard(routing);
    UpdateHover(local);
    if (hovered)
        hovered->OnMouseMove(local);
    return 0;
}

long IMDialogBase<IMEmptyView>::OnMouseButton(const IMMouseEvent& event)
{
    IMControl::OnMouseButton(event);
    DepthGuard guard(routing);
    // A press finds the child under the pointer afresh: the tree may have changed under a
    // still mouse (a screen closed, another opened) since the last move.
    const bool press = event.Is(WM_LBUTTONDOWN) || event.Is(WM_RBUTTONDOWN) || event.Is(WM_MBUTTONDOWN)
        || event.Is(WM_LBUTTONDBLCLK) || event.Is(WM_RBUTTONDBLCLK) || event.Is(WM_MBUTTONDBLCLK);
    if (press) {
        const RECT r = GetRect();
        lastMouseX = event.x - r.left;
        lastMouseY = event.y - r.top;
        UpdateHover(IMMouseEvent(this, WM_MOUSEMOVE, event.wParam, lastMouseX, lastMouseY));
    }
    if (!hovered)
        return 0;
    if (event.Is(WM_LBUTTONDOWN) && hovered != focusChild && hovered->IsFocusable()) {
        IMControl* target = hovered;
        if (focusChild)
            focusChild->SetFocus(false);
        target->SetFocus(true);
    }
    if (!hovered)
        return 0;
    const RECT r = GetRect();
    hovered->OnMouseButton(IMMouseEvent(this, event.message, event.wParam, event.x - r.left, event.y - r.top));
    return 0;
}

long IMDialogBase<IMEmptyView>::OnMouseLeave(const IMMouseEvent& event)
{
    IMControl::OnMouseLeave(event);
    if (hovered) {
        DepthGuard guard(routing);
        hovered->OnMouseLeave(event);
        hovered = nullptr;
    }
    return 0;
}

long IMDialogBase<IMEmptyView>::OnKey(const IMKeyboardEvent& event)
{
    IMControl::OnKey(event);
    if (focusChild) {
        DepthGuard guard(routing);
        focusChild->OnKey(event);
    }
    return 0;
}

long IMDialogBase<IMEmptyView>::OnChildFocus(const IMEvent& event)
{
    IMControl* sender = event.sender;
    if (event.Is(IM_FOCUS_GAINED) && sender != focusChild) {
        SetFocus(true);
        if (focusChild)
            focusChild->SetFocus(false);
        focusChild = sender;
    } else if (event.Is(IM_FOCUS_LOST) && sender == focusChild) {
        focusChild = nullptr;
    }
    return 1;
}

long IMDialogBase<IMEmptyView>::OnFocusLost(const IMEvent& event)
{
    IMControl::OnFocusLost(event);
    focusChild = nullptr;
    ForEachChild([&](IMControl* child) { child->OnFocusLost(event); });
    return 0;
}

// ---- traversals ----

long IMDialogBase<IMEmptyView>::SetDirty(bool on)
{
    IMViewControl<IMEmptyView>::SetDirty(on);
    if (!on)
        ForEachChild([](IMControl* child) { child->SetDirty(false); });
    return 0;
}

bool IMDialogBase<IMEmptyView>::IsDirty() const
{
    if (dirty)
        return true;
    for (const auto& [layer, controls] : children)
        for (const IMControl* child : controls)
            if (child->IsDirty())
                return true;
    return false;
}

bool IMDialogBase<IMEmptyView>::HitTest(int x, int y) const
{
    return !hidden && PtInRect(GetRect(), x, y);
}

long IMDialogBase<IMEmptyView>::Paint(const IMEvent& event)
{
    if (!hidden) {
        IMPaintDevice* device = GetPaintDevice();
        const RECT r = GetRect();
        bool visible = true;
        if (device) {
            const RECT viewport = device->GetViewport();
            RECT clip {};
            visible = IntersectRect(clip, viewport, OffsetRect(r, device->originX, device->originY));
            if (visible) {
                const int32_t savedX = device->originX;
                const int32_t savedY = device->originY;
                device->SetViewport(clip);
                device->originX += r.left;
                device->originY += r.top;
                ForEachChild([&](IMControl* child) { child->Paint(IMEvent(event)); });
                device->originX = savedX;
                device->originY = savedY;
                device->SetViewport(viewport);
            }
        } else {
            // Without a device nothing can be drawn; the children still run their paint so
            // their flags and paint handlers behave as in a drawn frame.
            ForEachChild([&](IMControl* child) { child->Paint(IMEvent(event)); });
        }
        if (visible) {
            Draw(); // clears the dirty flags of the whole subtree
            FireSignal(sigPaint, IMEvent(this, WM_PAINT));
        }
    }
    SetDirty(false);
    return 0;
}

long IMDialogBase<IMEmptyView>::Update(const IMEvent& event)
{
    ProcessPendingDeletes();
    if (walking == 0 && !pendingAdd.empty()) {
        for (auto& [layer, controls] : pendingAdd) {
            auto& active = children[layer];
            active.insert(active.end(), controls.begin(), controls.end());
        }
        pendingAdd.clear();
    }
    OnFrame();
    FireSignal(sigUpdate, IMEvent(this, WM_CLOSE));
    ForEachChild([&](IMControl* child) { child->Update(IMEvent(event)); });
    ProcessPendingDeletes();
    return 0;
}

long IMDialogBase<IMEmptyView>::Destroy(const IMEvent& event)
{
    ForEachChild([&](IMControl* child) { child->Destroy(event); });
    return Release();
}
