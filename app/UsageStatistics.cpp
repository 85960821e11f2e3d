// Start counter, version record and the usage address.
#include "UsageStatistics.h"

#include "SettingsStore.h"

#include <QDesktopServices>
#include <QUrlQuery>

#ifndef TRABEX_STATS_HOST
#define TRABEX_STATS_HOST ""
#endif

QString UsageServerHost = QStringLiteral(TRABEX_STATS_HOST);
std::function<void(const QUrl&)> UsageUrlOpener = [](const QUrl& url) {
    QDesktopServices::openUrl(url);
};

namespace {
const QString SecInfo = QStringLiteral("Info");
const QString SecVersionUsed = QStringLiteral("VersionUsed");
} // namespace

QUrl UsageAddress(const QString& host, int run, int ns, const QString& version) {
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(host);
    url.setPath(QStringLiteral("/"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("run"), QString::number(run));
    query.addQueryItem(QStringLiteral("ns"), QString::number(ns));
    query.addQueryItem(QStringLiteral("ver"), version);
    url.setQuery(query);
    return url;
}

std::optional<QUrl> RecordProgramStart(TSettingsStore& store, const QString& version,
                                       const QString& host) {
    store.Increment(SecInfo, QStringLiteral("NoOfExecute"));
    if (!store.ReadString(SecVersionUsed, version, QString()).isEmpty())
        return std::nullopt;
    store.WriteString(SecVersionUsed, version, UsageStamp());
    if (host.isEmpty())
        return std::nullopt;
    return UsageAddress(host, store.ReadInteger(SecInfo, QStringLiteral("NoOfExecute"), 0),
                        store.ReadInteger(SecInfo, QStringLiteral("NoOfSv"), 0), version);
}
