#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QUrl>

struct HttpResult
{
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    int status = 0; // 0 when no answer came
    QByteArray body;
    QByteArray contentType;
    qint64 contentLength = -1; // the header's value, -1 without one
    QByteArray setCookie;      // raw Set-Cookie header
    QByteArray cacheControl;
    qint64 elapsedMs = 0;
};

// A blocking GET on a manager that keeps its cookies between requests, as a browser does.
class HttpClient
{
public:
    HttpResult get(const QUrl &url, int timeoutMs = 10000);
    QNetworkAccessManager &manager() { return manager_; }

private:
    QNetworkAccessManager manager_;
};
