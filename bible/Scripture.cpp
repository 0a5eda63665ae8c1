#include "bible/Scripture.h"

#include "bible/KjvText.h"
#include "core/DataFiles.h"
#include "core/Log.h"

#include <future>
#include <memory>
#include <mutex>

namespace Scripture {
namespace {
using Loaded = std::shared_ptr<const KjvText>;

std::mutex guard;
std::shared_future<Loaded> reading;

Loaded read()
{
    const QString path = DataFiles::Find(QStringLiteral("kjv.tsv.gz"));
    QString error;
    std::optional<KjvText> text = KjvText::load(path, &error);
    if (!text) {
        qCInfo(lcStartup) << "no King James text:" << error;
        return nullptr;
    }
    return std::make_shared<const KjvText>(std::move(*text));
}

std::shared_future<Loaded> start()
{
    const std::lock_guard<std::mutex> lock(guard);
    if (!reading.valid())
        reading = std::async(std::launch::async, read).share();
    return reading;
}
}

void Preload() { start(); }

const KjvText *Text() { return start().get().get(); }

Passage Find(const QString &reference)
{
    Passage shown{reference, {}};
    const KjvText *text = Text();
    QString error;
    const auto passage = text ? text->passage(reference, &error) : std::nullopt;
    if (!passage)
        return shown;
    const bool chapters = !passage->verses.isEmpty() && passage->verses.first().chapter != passage->verses.last().chapter;
    for (const KjvText::Verse &v : passage->verses) {
        if (!shown.body.isEmpty())
            shown.body += u' ';
        shown.body += chapters ? QStringLiteral("%1:%2 ").arg(v.chapter).arg(v.verse) : QStringLiteral("%1 ").arg(v.verse);
        shown.body += v.text;
    }
    return shown;
}
}
