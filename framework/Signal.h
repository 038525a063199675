#pragma once
// Signals on Boost.Signals2. A handler takes the event by const reference and returns a long
// (0 by convention); firing answers the last handler's value, and the framework ignores it.
// Handlers run synchronously, in the order they were connected.
//
// Automatic disconnection. Every control derives from boost::signals2::trackable. A handler
// made with boost::bind from a member function and a raw control pointer (and any further
// bound control pointers) is tracked: Signals2 visits the bound arguments, and the connection
// ends by itself when any of those controls is destroyed. std::bind objects and lambdas are
// opaque to that visit and are NOT tracked; connect them with ConnectTracked(), which binds
// the owner through boost::bind. Connect() is the short form for a plain member handler.
//
// Blocking: IMConnectionBlock block(connection) suspends one handler until block.unblock()
// (or until the block object goes away). A handler connected while the signal is firing runs
// from the next firing on; a handler disconnected (or blocked) by an earlier handler of the
// same firing does not run in it.

#include "framework/Event.h"

// NOTE: GCC's -Wmaybe-uninitialized misreads the empty group key of an ungrouped Signals2
// connection once connect() is inlined (seen with the sanitizers' optimisation).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <boost/bind/bind.hpp>
#include <boost/signals2/last_value.hpp>
#include <boost/signals2/shared_connection_block.hpp>
#include <boost/signals2/signal.hpp>
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

#include <utility>

template <class E>
using IMSignal = boost::signals2::signal<long(const E&), boost::signals2::last_value<long>>;

using IMEventSignal = IMSignal<IMEvent>;
using IMMouseSignal = IMSignal<IMMouseEvent>;
using IMKeyboardSignal = IMSignal<IMKeyboardEvent>;

using IMConnection = boost::signals2::connection;
using IMScopedConnection = boost::signals2::scoped_connection;
using IMConnectionBlock = boost::signals2::shared_connection_block;

// Fires `signal` with `event` only when it has a handler that can run; a signal whose handlers
// are all blocked or expired is skipped quietly. Answers whether any handler ran.
template <class E>
bool FireSignal(IMSignal<E>& signal, const E& event)
{
    if (signal.empty())
        return false;
    try {
        signal(event);
    } catch (const boost::signals2::no_slots_error&) {
        return false;
    }
    return true;
}

// Connects object->method at the back of `signal`; tracked when the object is a control.
template <class E, class Object, class Class>
IMConnection Connect(IMSignal<E>& signal, Object* object, long (Class::*method)(const E&))
{
    return signal.connect(boost::bind(method, object, boost::placeholders::_1));
}

namespace im_detail {
// Calls a handler that does not want the owner pointer boost::bind carries for tracking.
template <class Handler, class Owner, class E>
struct OwnedHandler {
    mutable Handler handler;
    long operator()(Owner*, const E& event) const { return static_cast<long>(handler(event)); }
};
}

// Connects any callable (lambda, std::function, std::bind object) at the back of `signal`
// so that the connection ends by itself when `owner` (a control) is destroyed.
template <class E, class Owner, class Handler>
IMConnection ConnectTracked(IMSignal<E>& signal, Owner* owner, Handler handler)
{
    using Wrapped = im_detail::OwnedHandler<Handler, Owner, E>;
    return signal.connect(typename IMSignal<E>::slot_type(
        boost::bind<long>(Wrapped { std::move(handler) }, owner, boost::placeholders::_1)));
}
