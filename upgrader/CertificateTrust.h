#pragma once

// Qt Network loads the system's authorities from fixed folders and does not look at OpenSSL's
// SSL_CERT_FILE and SSL_CERT_DIR. A site that names its own authority there (an in-house
// certificate authority, a test) expects the download to trust it as openssl and curl do: the
// certificates found there are added to the system's ones. Call before the first request.
void TrustAuthoritiesFromEnvironment();
