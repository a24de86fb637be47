#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace tgw::test {

// Runs `act` on the next modal dialog of type T once it is shown and has the keyboard focus;
// `act` closes it, and a dialog it (or a failed check) left open is closed after it.
template <class T> void whenShown(std::function<void(T*)> act) {
    QTimer::singleShot(0, [act] {
        auto* d = qobject_cast<T*>(QApplication::activeModalWidget());
        QWidget* focus = QApplication::focusWidget();
        if (!d || !focus || !d->isAncestorOf(focus))
            return whenShown<T>(act);
        act(d);
        if (d->isVisible())
            d->reject();
    });
}

} // namespace tgw::test
