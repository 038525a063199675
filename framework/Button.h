#pragma once
// IMButtonBase<V>: a control whose look follows its state (normal, disabled, mouse over,
// pressed) and that reports clicks through sigClick. Instantiated with IMStateView.
//
// Look: 0 normal -> (enter) 3 -> (button down) 4 -> (button up, click) 3 -> (leave) 0;
// Disable -> 1 from any state; Enable -> 0 or 3 as the mouse says. Show and Hide leave the
// look as it was until the next enter, leave or button message.

#include "framework/StateView.h"
#include "framework/ViewControl.h"

#include <string>

template <class V>
class IMButtonBase : public IMViewControl<V> {
public:
    // Connects UpdateState to the button's own mouse and state signals.
    explicit IMButtonBase(IMDialog* parent, int layer = 0) : IMViewControl<V>(parent, layer)
    {
        ConnectState(this->sigMouseButton);
        ConnectState(this->sigMouseEnter);
        ConnectState(this->sigMouseLeave);
        ConnectState(this->sigDisabled);
        ConnectState(this->sigEnabled);
        ConnectState(this->sigHidden);
        ConnectState(this->sigShown);
    }

    // Names the state pictures; the button takes the size of its current state's picture,
    // at (0, 0) of the parent.
    void SetStateTextures(const std::wstring& normal, const std::wstring& disabled,
        const std::wstring& mouseOver, const std::wstring& pressed)
    {
        V::SetStateTextures(normal, disabled, mouseOver, pressed);
        this->SetRect(this->GetSourceRect());
    }

    long Disable() override
    {
        IMViewControl<V>::Disable();
        return UpdateState();
    }
    long Enable() override
    {
        IMViewControl<V>::Enable();
        return UpdateState();
    }

    // Shows the state the flags call for: 1 disabled; else 4 under the mouse with a button
    // held, 3 under the mouse, 0 otherwise. A hidden button keeps its look.
    virtual long UpdateState()
    {
        if (this->hidden)
            return 0;
        int32_t next = V::kNormal;
        if (!this->enabled)
            next = V::kDisabled;
        else if (this->mouseOver && this->buttonHeld)
            next = V::kPressed;
        else if (this->mouseOver)
            next = V::kMouseOver;
        if (next != this->state) {
            V::SetTexture(this->GetStateTexture(next));
            this->state = next;
        }
        return 0;
    }

private:
    // The button's own handlers; they end with the button.
    template <class Signal>
    void ConnectState(Signal& signal)
    {
        ConnectTracked(signal, this, [this](const auto&) { return UpdateState(); });
    }
};
