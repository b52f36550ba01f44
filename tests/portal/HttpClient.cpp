#include "HttpClient.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkRequest>
#include <QTimer>

HttpResult HttpClient::get(const QUrl &url, int timeoutMs)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    QElapsedTimer clock;
    clock.start();
    QNetworkReply *reply = manager_.get(request);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, reply, &QNetworkReply::abort);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timer.start(timeoutMs);
    if (!reply->isFinished())
        loop.exec();

    HttpResult result;
    result.elapsedMs = clock.elapsed();
    result.error = reply->error();
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.body = reply->readAll();
    result.contentType = reply->rawHeader("Content-Type");
    if (reply->hasRawHeader("Content-Length"))
        result.contentLength = reply->rawHeader("Content-Length").toLongLong();
    result.setCookie = reply->rawHeader("Set-Cookie");
    result.cacheControl = reply->rawHeader("Cache-Control");
    reply->deleteLater();
    return result;
}
