#include "settings/QuestionChoice.h"

#include "bible/BibleBooks.h"
#include "settings/SettingsStore.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace QuestionChoice {

Choice Current;

namespace {
const char *const DifficultyNames[] = {"Any", "Easy", "Medium", "Hard"};
const auto AllBooks = QStringLiteral("All");

QString read(const char *key, const QString &defaultText)
{
    return SettingsStore::GetSetting(QLatin1String(Section), QLatin1String(key), defaultText);
}

void write(const char *key, const QString &text) { SettingsStore::SaveSetting(QLatin1String(Section), QLatin1String(key), text); }

// Names as a JSON array of texts, which keeps any character of a set's name.
QString listText(const QStringList &names)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(names)).toJson(QJsonDocument::Compact));
}

std::optional<QStringList> listOf(const QString &text)
{
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
    if (!document.isArray())
        return std::nullopt;
    QStringList names;
    for (const QJsonValue &value : document.array()) {
        if (!value.isString())
            return std::nullopt;
        names << value.toString();
    }
    return names;
}
}

QString DifficultyName(Difficulty difficulty) { return QLatin1String(DifficultyNames[int(difficulty)]); }

std::optional<Difficulty> DifficultyNamed(const QString &name)
{
    for (int i = 0; i < 4; ++i)
        if (name == QLatin1String(DifficultyNames[i]))
            return Difficulty(i);
    return std::nullopt;
}

void Load()
{
    Choice choice;
    choice.leftOutSets = listOf(read("LeftOutSets", QStringLiteral("[]"))).value_or(QStringList());
    choice.leftOutSets.removeDuplicates();
    const QString books = read("Books", AllBooks);
    if (books != AllBooks) {
        if (const auto names = listOf(books)) {
            QStringList known;
            for (const QString &name : *names)
                if (const QString book = BibleBooks::Named(name); !book.isEmpty() && !known.contains(book))
                    known << book;
            choice.books = known;
        }
    }
    choice.difficulty = DifficultyNamed(read("Difficulty", QStringLiteral("Any"))).value_or(Difficulty::Any);
    Current = choice;
}

void Save()
{
    write("LeftOutSets", listText(Current.leftOutSets));
    write("Books", Current.books ? listText(*Current.books) : AllBooks);
    write("Difficulty", DifficultyName(Current.difficulty));
    SettingsStore::Sync();
}
}
