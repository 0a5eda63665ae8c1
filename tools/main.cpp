// quillory-db: builds, exports and checks the encrypted question database and its text bank.
#include "tools/BankRules.h"
#include "bible/KjvText.h"
#include "tools/QuestionBank.h"
#include "tools/QuestionDatabase.h"

#include "core/DataFiles.h"
#include "db/DataControl.h"
#include "db/Database.h"
#include "db/DatabaseFile.h"
#include "core/MessageBox.h"
#include "core/RunTimeError.h"
#include "db/basDatabase.h"
#include "settings/basGame.h"
#include "core/basMain.h"
#include "db/QuestionSchema.h"
#include "game/QuestionDeck.h"
#include "import/QuestionExport.h"
#include "import/QuestionImport.h"
#include "import/QuestionSets.h"
#include "scores/HighScoreTable.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMap>

#include <cstdio>
#include <optional>

namespace {
void out(const QString &text) { std::fputs(qPrintable(text + u'\n'), stdout); }
void err(const QString &text) { std::fputs(qPrintable(text + u'\n'), stderr); }

int usage()
{
    err(QStringLiteral(
        "usage: quillory-db build -o OUT.mdb BANK...\n"
        "       quillory-db export [-o OUT.tsv] DB.mdb\n"
        "       quillory-db export --csv [--set NAME] [-o OUT.csv] DB.mdb\n"
        "       quillory-db import [--set NAME] [--dry-run] [--kjv KJV.tsv[.gz]] DB.mdb FILE\n"
        "       quillory-db check [--kjv KJV.tsv[.gz]] [--bank-rules] [--exceptions FILE] BANK_OR_DB...\n"
        "       quillory-db count BANK_OR_DB...\n"
        "       quillory-db compact [--progress] DB.mdb\n"
        "       quillory-db repair [--progress] DB.mdb\n"
        "       quillory-db shuffle [--progress] [-n N] DB.mdb\n"
        "       quillory-db settings-stress [--progress] [-n N] FOLDER\n"
        "A BANK is a .tsv file or a folder of them; a DB is a .mdb file.\n"
        "The password of a DB is the game's, unless given by --password-file FILE (its first line), the\n"
        "environment variable QUILLORY_DB_PASSWORD, or --password P (which other users can see in the\n"
        "process list); the first of these given wins.\n"
        "check reports each row at fault as FILE:LINE: error: [RULE] message. Its fairness rules: gender,\n"
        "plural, echo (the question's wording rules out wrong answers), odd-length, odd-form (the right\n"
        "answer stands out), kind, name (wrong answers are people among people, places among places, and\n"
        "names of the King James text), number-words (a quantity is written in digits, \"12\", \"40 days\",\n"
        "\"3000\", never \"Twelve\" or \"Forty days\" or \"3,000\"; ordinals such as \"The third day\" stay\n"
        "words, as do numbers inside quotations and after \"the\", \"his\", \"which\"), giveaway (another\n"
        "question on the chapter names the answer) and also-true (the passage lists a wrong answer beside\n"
        "the right one); gender, kind, name and also-true need --kjv. --exceptions FILE names\n"
        "reviewed rows (Rule, Question, Reason) whose findings are dropped; an exception matching no\n"
        "finding is an error. --bank-rules adds the whole-bank rules: at least 3000 questions, 1700 OT and\n"
        "1100 NT, all 66 books, none above 8%, a Difficulty on every row and about 40/40/20% of 1/2/3 in\n"
        "each testament, at most 15% quotations to complete, at least 15% each of who and what questions,\n"
        "5% of where and how many, 3% of when, 1.5% of which book, 99% borne out by the passage, no\n"
        "question twice.\n"
        "export --csv writes CSV as the game's Tools > Export Questions does: every question, or with\n"
        "--set NAME those of one question set (\"Built-in questions\" names the questions of the bank).\n"
        "import reads a CSV or TSV file (columns Question, Answer1 (the right answer), Answer2 to Answer4,\n"
        "Testament, Reference, and Difficulty if wanted, in any order) as the game's Tools > Import\n"
        "Questions does, and adds its good rows to DB.mdb in one transaction as the question set NAME (by\n"
        "default the file's name). Each row left out goes to standard error as FILE:LINE: reason. It ends\n"
        "with 0 when every row was imported, 4 when only some were (the others bad or already in the\n"
        "database), 1 when none was or on an error. --dry-run writes nothing and ends as the import\n"
        "would. The references are checked against --kjv, by default the King James text of the game.\n"
        "compact and repair work through Temp.mdb beside DB.mdb, as the game's Tools menu does;\n"
        "--progress prints each step as it starts.\n"
        "shuffle shuffles the deck N times (default 1) as every new game does.\n"
        "settings-stress loads, changes and saves the game settings and offers a high score, N rounds\n"
        "(default 1), with the settings store in FOLDER instead of the user's own; it ends with 3 when\n"
        "a stored value did not load. --progress prints each finished round."));
    return 2;
}

struct Options
{
    QString command, output, password, kjv, exceptions;
    bool bankRules = false;
    bool progress = false;
    bool csv = false;
    bool dryRun = false;
    std::optional<QString> set;
    int times = 1;
    QStringList inputs;
};

bool isDatabase(const QString &path) { return path.endsWith(QLatin1String(".mdb"), Qt::CaseInsensitive); }

// Loads banks and databases alike into one bank; false after a read failure.
bool loadInputs(const Options &o, QuestionBank &bank)
{
    bool ok = true;
    for (const QString &input : o.inputs) {
        if (isDatabase(input)) {
            try {
                for (const QuestionRow &r : QuestionDatabase::Read(input, o.password))
                    bank.add(r);
            } catch (const RunTimeError &e) {
                bank.addFinding(BankFinding::Error, input, e.description());
                ok = false;
            }
        } else if (!bank.loadPaths({input})) {
            ok = false;
        }
    }
    return ok;
}

void printFindings(const QuestionBank &bank)
{
    static const char *kinds[] = {"error", "warning", "note"};
    for (const BankFinding &f : bank.findings())
        out(f.rule.isEmpty() ? QStringLiteral("%1: %2: %3").arg(f.where, QLatin1String(kinds[f.kind]), f.message)
                             : QStringLiteral("%1: %2: [%3] %4").arg(f.where, QLatin1String(kinds[f.kind]), f.rule, f.message));
}

int build(const Options &o)
{
    QuestionBank bank;
    loadInputs(o, bank);
    bank.checkRows();
    if (bank.errorCount() > 0) {
        printFindings(bank);
        err(QStringLiteral("quillory-db: %1 error(s); %2 not written").arg(bank.errorCount()).arg(o.output));
        return 1;
    }
    if (bank.rows().isEmpty()) {
        err(QStringLiteral("quillory-db: no questions found; %1 not written").arg(o.output));
        return 1;
    }
    try {
        QuestionDatabase::Write(o.output, o.password, bank.rows());
    } catch (const RunTimeError &e) {
        err(QStringLiteral("quillory-db: %1").arg(e.description()));
        return 1;
    }
    out(QStringLiteral("wrote %1 questions to %2").arg(bank.rows().size()).arg(o.output));
    return 0;
}

int exportCsv(const Options &o)
{
    try {
        auto db = Database::open(o.inputs[0], o.password, Database::Mode::ReadOnly);
        const std::optional<QString> set = o.set ? std::optional(QuestionSets::StoredName(*o.set)) : std::nullopt;
        const QList<QuestionRow> rows = QuestionExport::Rows(*db, set);
        if (set && rows.isEmpty()) {
            err(QStringLiteral("quillory-db: %1 has no question set '%2'").arg(o.inputs[0], *o.set));
            return 1;
        }
        if (o.output.isEmpty()) {
            const QByteArray text = QuestionExport::Csv(rows);
            std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
        } else {
            QuestionExport::WriteFile(o.output, rows);
        }
    } catch (const RunTimeError &e) {
        err(QStringLiteral("quillory-db: %1").arg(e.description()));
        return 1;
    }
    return 0;
}

int exportDb(const Options &o)
{
    if (o.inputs.size() != 1 || (o.set && !o.csv))
        return usage();
    if (o.csv)
        return exportCsv(o);
    try {
        const QByteArray text = QuestionDatabase::ToText(QuestionDatabase::Read(o.inputs[0], o.password));
        if (o.output.isEmpty()) {
            std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
            return 0;
        }
        QFile file(o.output);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size()) {
            err(QStringLiteral("quillory-db: cannot write %1").arg(o.output));
            return 1;
        }
    } catch (const RunTimeError &e) {
        err(QStringLiteral("quillory-db: %1").arg(e.description()));
        return 1;
    }
    return 0;
}

int check(const Options &o, bool countOnly)
{
    QuestionBank bank;
    bool ok = loadInputs(o, bank);
    std::optional<KjvText> kjv;
    int borne = -1;
    if (!o.kjv.isEmpty()) {
        QString error;
        kjv = KjvText::load(o.kjv, &error);
        if (!kjv) {
            err(QStringLiteral("quillory-db: %1").arg(error));
            return 1;
        }
    }
    const BankRules rules(kjv ? &*kjv : nullptr);
    if (!countOnly) {
        bank.checkRows();
        if (kjv)
            borne = bank.checkAgainstText(*kjv);
        rules.check(bank);
        if (!o.exceptions.isEmpty()) {
            QFile file(o.exceptions);
            if (!file.open(QIODevice::ReadOnly)) {
                err(QStringLiteral("quillory-db: cannot read %1").arg(o.exceptions));
                return 1;
            }
            const int dropped = bank.applyExceptions(file.readAll(), o.exceptions);
            out(QStringLiteral("%1 finding(s) dropped as reviewed exceptions").arg(dropped));
        }
        printFindings(bank);
    }
    const auto t = bank.totals(kjv ? &*kjv : nullptr);
    out(QStringLiteral("%1 questions: %2 OT, %3 NT; %4 books; largest book %5 with %6 (%7%)")
            .arg(t.rows).arg(t.ot).arg(t.nt).arg(t.books).arg(t.largestBook).arg(t.largestBookCount)
            .arg(t.rows ? 100.0 * t.largestBookCount / t.rows : 0.0, 0, 'f', 1));
    const BankRules::Summary summary = rules.summarise(bank.rows());
    for (const QString &line : BankRules::describe(summary))
        out(line);
    const double borneShare = t.rows && borne >= 0 ? 100.0 * borne / t.rows : 0.0;
    if (borne >= 0)
        out(QStringLiteral("borne out by the passage: %1 of %2 (%3%)").arg(borne).arg(t.rows).arg(borneShare, 0, 'f', 1));
    if (countOnly)
        return ok ? 0 : 1;

    QMap<QString, int> perRule;
    for (const BankFinding &f : bank.findings())
        if (f.kind == BankFinding::Error && !f.rule.isEmpty())
            ++perRule[f.rule];
    QStringList counts;
    for (auto it = perRule.cbegin(); it != perRule.cend(); ++it)
        counts << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
    if (!counts.isEmpty())
        out(QStringLiteral("errors by rule: ") + counts.join(QStringLiteral(", ")));

    int failures = bank.errorCount();
    if (o.bankRules) {
        QStringList bankErrors = BankRules::bankFailures(summary, borne, perRule.value(QStringLiteral("duplicate")));
        if (!kjv)
            bankErrors << QStringLiteral("the bank rules need --kjv");
        for (const QString &e : bankErrors)
            out(QStringLiteral("bank: error: %1").arg(e));
        failures += int(bankErrors.size());
    }
    out(QStringLiteral("%1 error(s)").arg(failures));
    return failures == 0 && ok ? 0 : 1;
}

// import: a CSV or TSV file's good rows into a database as a question set, as the game does.
int importFile(const Options &o)
{
    if (o.inputs.size() != 2)
        return usage();
    const QString &path = o.inputs[0], &file = o.inputs[1];
    const QString kjvPath = o.kjv.isEmpty() ? DataFiles::Find(QStringLiteral("kjv.tsv.gz")) : o.kjv;
    QString error;
    const std::optional<KjvText> kjv = KjvText::load(kjvPath, &error);
    if (!kjv) {
        err(QStringLiteral("quillory-db: the references cannot be checked: %1").arg(error));
        return 1;
    }
    const QString set = o.set ? *o.set : QuestionSets::NameForFile(file);
    if (const QString problem = QuestionSets::NameProblem(set); !problem.isEmpty()) {
        err(QStringLiteral("quillory-db: %1").arg(problem));
        return 1;
    }
    try {
        auto db = Database::open(path, o.password);
        if (!db->hasTable(QuestionSchema::TableName()))
            throw RunTimeError(Err::TableNotFound, QStringLiteral("The database has no table '%1'.").arg(QuestionSchema::TableName()));
        const QuestionImport::Preview preview = QuestionImport::CheckFile(file, *kjv, QuestionImport::ExistingKeys(*db));
        if (!preview.error.isEmpty()) {
            err(QStringLiteral("%1: %2").arg(file, preview.error));
            return 1;
        }
        for (const QuestionImport::RowNote &note : preview.problems)
            err(QStringLiteral("%1:%2: %3").arg(file).arg(note.line).arg(note.reason));
        for (const QuestionImport::RowNote &note : preview.duplicates)
            err(QStringLiteral("%1:%2: %3 (skipped)").arg(file).arg(note.line).arg(note.reason));
        const qsizetype written = o.dryRun ? preview.rows.size() : QuestionImport::Import(*db, preview.rows, set);
        out(QStringLiteral("%1 %2 of %3 questions into the question set '%4' of %5")
                .arg(o.dryRun ? QStringLiteral("would import") : QStringLiteral("imported"))
                .arg(written).arg(preview.total).arg(QuestionSets::Tidy(set), path));
        if (written <= 0)
            return 1;
        return written == preview.total ? 0 : 4;
    } catch (const RunTimeError &e) {
        err(QStringLiteral("quillory-db: error %1: %2").arg(e.number()).arg(e.description()));
        return 1;
    }
}

// compact / repair: the game's maintenance of the database file, through "Temp.mdb" beside it.
int maintain(const Options &o, bool repair)
{
    if (o.inputs.size() != 1)
        return usage();
    const QString path = QFileInfo(o.inputs[0]).absoluteFilePath();
    const QString temporary = QFileInfo(path).absolutePath() + QStringLiteral("/Temp.mdb");
    basDatabase::DeleteFileIfExists(temporary);
    DatabaseFile file(path, o.password);
    if (o.progress)
        file.progress = [](const QString &step) {
            out(step);
            std::fflush(stdout);
        };
    try {
        if (!repair) {
            file.compact(temporary);
            out(QStringLiteral("compacted %1").arg(path));
            return 0;
        }
        const DatabaseFile::RepairResult result = file.repair(temporary);
        if (result.salvaged && result.total >= 0)
            out(QStringLiteral("repaired %1: %2 of %3 questions were saved").arg(path).arg(result.saved).arg(result.total));
        else if (result.salvaged)
            out(QStringLiteral("repaired %1: %2 questions were saved; how many were lost cannot be told").arg(path).arg(result.saved));
        else
            out(QStringLiteral("repaired %1: the file was sound and has been rebuilt").arg(path));
        return 0;
    } catch (const RunTimeError &e) {
        err(QStringLiteral("quillory-db: error %1: %2").arg(e.number()).arg(e.description()));
        return 1;
    }
}

// shuffle: the deck of a new game, shuffled N times in a row on one open connection.
int shuffle(const Options &o)
{
    if (o.inputs.size() != 1)
        return usage();
    DataControl dat;
    dat.DatabaseName = o.inputs[0];
    dat.Connect = QStringLiteral(";pwd=") + o.password;
    dat.RecordSource = QuestionSchema::TableName();
    try {
        dat.Refresh();
        for (int round = 1; round <= o.times; ++round) {
            QuestionDeck::Shuffle(dat);
            if (o.progress) {
                out(QStringLiteral("shuffled %1").arg(round));
                std::fflush(stdout);
            }
        }
    } catch (const RunTimeError &e) {
        err(QStringLiteral("quillory-db: error %1: %2").arg(e.number()).arg(e.description()));
        return 1;
    }
    return 0;
}

// settings-stress: what the game does with its settings store, over and over. Every round
// loads the settings, changes every one of them and saves them, then offers a new best score
// to the high-score table, which loads, sorts and saves it. The rounds count on from the
// round whose name the stored first player carries.
int settingsStress(const Options &o)
{
    if (o.inputs.size() != 1)
        return usage();
    // The store goes to FOLDER before it is first used; the user's own settings stay untouched.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(QFileInfo(o.inputs[0]).absoluteFilePath()));
    int errors = 0;
    MsgBox::setHandler([&errors](const QString &text, int, const QString &title) {
        if (title == u"Error")
            ++errors;
        err(title + QStringLiteral(": ") + QString(text).replace(u'\r', u' '));
        return int(MsgBox::Ok);
    });
    using basGame::GameSettings;
    static const basGame::Testament testaments[] = {basGame::Testament::Old, basGame::Testament::New, basGame::Testament::Both};
    basGame::LoadGameSettings();
    const QString first = GameSettings.Players[1].Name;
    qint64 round = first.startsWith(QLatin1String("Round ")) ? first.mid(6).toLongLong() : 0;
    for (int done = 0; done < o.times && errors == 0; ++done) {
        ++round;
        basGame::LoadGameSettings();
        GameSettings.PlayerCnt = qint16(round % basGame::MaxPlayers + 1);
        GameSettings.Testament = testaments[round % 3];
        GameSettings.Timed = round % 2 == 1;
        GameSettings.WinClr = qint32(round % (basGame::MaxColor + 1));
        GameSettings.WinTxtClr = qint32(basGame::MaxColor - round % (basGame::MaxColor + 1));
        for (int seat = 1; seat <= basGame::MaxPlayers; ++seat)
            GameSettings.Players[seat].Name = QStringLiteral("Round %1").arg(round);
        basGame::SaveGameSettings();
        // A rising score enters the table every round, so the table is rewritten every round.
        HighScoreTable::IsHighScore(QStringLiteral("Round %1").arg(round), qint16(round % 32000 + 1),
                                    qint16(round % 101));
        if (o.progress) {
            out(QStringLiteral("round %1").arg(round));
            std::fflush(stdout);
        }
    }
    if (errors > 0) {
        err(QStringLiteral("quillory-db: the stored settings or high scores did not load or save"));
        return 3;
    }
    return 0;
}
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();
    Options o;
    o.command = args.takeFirst();
    o.password = DataControl::passwordOf(QString::fromLatin1(basMain::ConnectString));
    std::optional<QString> passwordFile, passwordArgument;
    while (!args.isEmpty()) {
        const QString a = args.takeFirst();
        if ((a == u"-o" || a == u"--password" || a == u"--password-file" || a == u"--kjv" || a == u"--exceptions" || a == u"-n"
             || a == u"--set")
            && args.isEmpty())
            return usage();
        if (a == u"-n") {
            bool ok = false;
            o.times = args.takeFirst().toInt(&ok);
            if (!ok || o.times < 0)
                return usage();
        } else if (a == u"-o")
            o.output = args.takeFirst();
        else if (a == u"--password")
            passwordArgument = args.takeFirst();
        else if (a == u"--password-file") {
            QFile file(args.takeFirst());
            if (!file.open(QIODevice::ReadOnly)) {
                err(QStringLiteral("quillory-db: cannot read the password file %1").arg(file.fileName()));
                return 2;
            }
            passwordFile = QString::fromUtf8(file.readLine()).remove(u'\n').remove(u'\r');
        }
        else if (a == u"--kjv")
            o.kjv = args.takeFirst();
        else if (a == u"--exceptions")
            o.exceptions = args.takeFirst();
        else if (a == u"--bank-rules")
            o.bankRules = true;
        else if (a == u"--progress")
            o.progress = true;
        else if (a == u"--set")
            o.set = args.takeFirst();
        else if (a == u"--csv")
            o.csv = true;
        else if (a == u"--dry-run")
            o.dryRun = true;
        else if (a.startsWith(u'-'))
            return usage();
        else
            o.inputs << a;
    }
    // A password file or the environment keeps the password out of the process list.
    if (passwordFile)
        o.password = *passwordFile;
    else if (qEnvironmentVariableIsSet("QUILLORY_DB_PASSWORD"))
        o.password = qEnvironmentVariable("QUILLORY_DB_PASSWORD");
    else if (passwordArgument)
        o.password = *passwordArgument;
    if (o.inputs.isEmpty())
        return usage();
    if (o.command == u"build")
        return o.output.isEmpty() ? usage() : build(o);
    if (o.command == u"export")
        return exportDb(o);
    if (o.command == u"import")
        return importFile(o);
    if (o.command == u"check")
        return check(o, false);
    if (o.command == u"count")
        return check(o, true);
    if (o.command == u"compact" || o.command == u"repair")
        return maintain(o, o.command == u"repair");
    if (o.command == u"shuffle")
        return shuffle(o);
    if (o.command == u"settings-stress")
        return settingsStress(o);
    return usage();
}
