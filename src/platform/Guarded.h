#pragma once

#include "platform/Dialogs.h"
#include "platform/FileError.h"

#include <QObject>

#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

namespace tolvane {

// Runs a handler and shows an error that it did not handle in the generic error box, so that
// no exception ever leaves a Qt slot. Returns false when the handler ended with such an error.
template <typename Handler> bool runGuarded(Dialogs& dialogs, Handler&& handler)
{
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (const TolvaneError& e) {
        dialogs.genericError(e.text());
    } catch (const std::exception& e) {
        dialogs.genericError(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

// connect() for event handlers: the handler (a callable, or a member function of context) runs
// through runGuarded. It gets the signal's arguments when it takes them, and none otherwise (a
// click handler ignores "checked").
template <typename Sender, typename Signal, typename Context, typename Handler>
QMetaObject::Connection connectGuarded(Sender* sender, Signal signal, Context* context, Dialogs& dialogs,
                                       Handler handler)
{
    return QObject::connect(sender, signal, context, [context, &dialogs, handler](auto&&... args) {
        runGuarded(dialogs, [&] {
            if constexpr (std::is_member_function_pointer_v<Handler>) {
                if constexpr (std::is_invocable_v<Handler, Context*, decltype(args)...>)
                    std::invoke(handler, context, std::forward<decltype(args)>(args)...);
                else
                    std::invoke(handler, context);
            } else {
                if constexpr (std::is_invocable_v<const Handler&, decltype(args)...>)
                    handler(std::forward<decltype(args)>(args)...);
                else
                    handler();
            }
        });
    });
}

} // namespace tolvane
