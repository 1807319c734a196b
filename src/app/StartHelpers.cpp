#include "app/StartHelpers.h"

#include <QThread>

#ifdef PATCHSMITH_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif
#ifdef PATCHSMITH_HAVE_QTDBUS
#include <QDBusConnection>
#endif

namespace patchsmith::app {

StartHelpers::StartHelpers() {
    // The toolkit takes the first thread that uses it for its main thread:
    // this one, before a helper that uses the toolkit can get there first.
    QThread::currentThread();
#ifdef PATCHSMITH_HAVE_FONTCONFIG
    threads_.emplace_back([] { FcInit(); });
#endif
#ifdef PATCHSMITH_HAVE_QTDBUS
    // The connection is shared: the bridge finds it made.
    threads_.emplace_back([] { QDBusConnection::sessionBus(); });
#endif
}

StartHelpers::~StartHelpers() { finish(); }

void StartHelpers::finish() {
    for (std::thread& t : threads_)
        if (t.joinable()) t.join();
}

} // namespace patchsmith::app
