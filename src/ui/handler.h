// The one way a control reaches its handler. The wrapper runs the handler and
// catches what it raises: the error ends that handler, goes to the standard
// error box, and never travels through Qt's own frames.
#pragma once

#include <QObject>
#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

#include "deck/origin.h"
#include "link/command_stack.h"
#include "ui/error_box.h"

namespace qz7 {

// What a control does with the deck's answer. A refusal ends the handler
// quietly, as the panel's own checks always have (a line that names no file,
// no cue to search); a full command stack is a failure the operator must see.
inline void act(const Outcome& outcome) {
    if (outcome.stackFull) throw LinkError(outcome.refusal);
}

// Runs `action`; an exception ends it and is shown in the error box.
template <typename Action>
void guarded(Action&& action) noexcept {
    try {
        std::forward<Action>(action)();
    } catch (const std::exception& e) {
        ErrorBox::show(QString::fromUtf8(e.what()));
    } catch (...) {
        ErrorBox::show(QString());
    }
}

// A handler without arguments, whatever the signal carries.
template <typename Sender, typename Signal, typename Receiver>
QMetaObject::Connection onSignal(Sender* sender, Signal signal, Receiver* receiver, void (Receiver::*handler)()) {
    return QObject::connect(sender, signal, receiver, [receiver, handler] { guarded([&] { (receiver->*handler)(); }); });
}

// Any callable taking the signal's arguments (or none of them).
template <typename Sender, typename Signal, typename Func>
QMetaObject::Connection onSignal(Sender* sender, Signal signal, const QObject* context, Func func) {
    return QObject::connect(sender, signal, context, [func = std::move(func)](auto&&... args) {
        guarded([&] {
            if constexpr (std::is_invocable_v<Func&, decltype(args)...>)
                func(std::forward<decltype(args)>(args)...);
            else
                func();
        });
    });
}

}  // namespace qz7
