#pragma once

class QObject;

namespace platform {

// Turns SIGTERM, SIGINT and SIGHUP (a log-out, a stop by the system) into a normal quit of the
// application's event loop, so windows and the browser profile are closed in order.
void QuitOnTerminationSignals(QObject *owner);

} // namespace platform
