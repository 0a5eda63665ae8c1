#include "scores/frmScores.h"

#include "core/MessageBox.h"
#include "core/RunTimeError.h"
#include "resources/Twips.h"
#include "core/basMain.h"
#include "resources/Resources.h"

#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QShowEvent>
#include <QTableWidget>
#include <QTimer>

#include <array>

namespace {
constexpr int GridRows = 12;
constexpr int GridCols = 4;
constexpr int FixedRows = 2;
constexpr int FixedCols = 1;
constexpr int ColumnTwips[GridCols] = {400, 2500, 1000, 1000};
constexpr int RowTwips = 240;

constexpr int TrophyInterval = 3000; // ms between sparkles
constexpr int SparkleInterval = 100; // ms between the frames of one sparkle
// The pictures of one sparkle, shown one after the other; the first at once.
constexpr std::array<const char *, 9> SparkleFrames = {
    "TROPHY2", "TROPHY3", "TROPHY2", "TROPHY3", "TROPHY2", "TROPHY3", "TROPHY2", "TROPHY3", "TROPHY1"};

QFont designFont(const QString &family, qreal pointSize = 8.25)
{
    QFont font(family);
    font.setPointSizeF(pointSize);
    return font;
}

// A picture of the program's resources, loaded afresh every time.
QPixmap LoadPicture(const QString &name)
{
    QPixmap picture = Resources::picture(name);
    if (picture.isNull())
        throw RunTimeError(Err::ResourceNotFound, QStringLiteral("Resource with identifier '%1' not found").arg(name));
    return picture;
}
}

frmScores::frmScores(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                         | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmScores"));
    setWindowTitle(QStringLiteral("High Scores"));
    setFont(designFont(QStringLiteral("MS Sans Serif")));
    setFixedSize(Twips::ToPixels(5205), Twips::ToPixels(4080));

    // The grid: display only, its own headers hidden; rows 0 and 1 and column 0 are drawn as
    // fixed heading cells. The font is set to the window's face when the window loads.
    grdScores = new QTableWidget(GridRows, GridCols, this);
    grdScores->setObjectName(QStringLiteral("grdScores"));
    grdScores->setAccessibleName(QStringLiteral("High scores"));
    grdScores->setGeometry(Twips::Rect(120, 120, 4950, 2895));
    grdScores->setFont(designFont(QStringLiteral("MS Serif")));
    grdScores->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    grdScores->setLineWidth(1);
    grdScores->horizontalHeader()->hide();
    grdScores->verticalHeader()->hide();
    grdScores->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grdScores->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grdScores->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdScores->setSelectionMode(QAbstractItemView::NoSelection);
    grdScores->setTabKeyNavigation(false);
    grdScores->setWordWrap(false);
    for (QHeaderView *header : {grdScores->horizontalHeader(), grdScores->verticalHeader()}) {
        header->setMinimumSectionSize(1);
        header->setSectionResizeMode(QHeaderView::Fixed);
    }
    grdScores->verticalHeader()->setDefaultSectionSize(Twips::ToPixels(RowTwips));
    // The area beyond the last cells is grey; every cell paints its own background.
    QPalette gridPalette = grdScores->palette();
    gridPalette.setColor(QPalette::Base, QColor(128, 128, 128));
    grdScores->setPalette(gridPalette);
    const QPalette system = palette();
    for (int r = 0; r < GridRows; ++r) {
        for (int c = 0; c < GridCols; ++c) {
            auto *item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled);
            const bool fixed = r < FixedRows || c < FixedCols;
            item->setBackground(system.brush(fixed ? QPalette::Button : QPalette::Base));
            item->setForeground(system.brush(fixed ? QPalette::ButtonText : QPalette::Text));
            grdScores->setItem(r, c, item);
        }
    }

    imgTrophy = new QLabel(this);
    imgTrophy->setObjectName(QStringLiteral("imgTrophy"));
    imgTrophy->setAccessibleName(QStringLiteral("Three trophy cups"));
    imgTrophy->setGeometry(Twips::Rect(150, 3120, 1935, 840));
    imgTrophy->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The picture the window opens with; a missing one leaves the place empty until a sparkle
    // reports it.
    imgTrophy->setPixmap(Resources::picture(QStringLiteral("TROPHY1")));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(Twips::Rect(3780, 3120, 1215, 375));
    cmdOK->setDefault(true);

    cmdReset = new QPushButton(QStringLiteral("Reset Scores"), this);
    cmdReset->setObjectName(QStringLiteral("cmdReset"));
    cmdReset->setGeometry(Twips::Rect(3780, 3600, 1215, 375));

    setTabOrder(cmdOK, cmdReset);
    setTabOrder(cmdReset, grdScores);
    cmdOK->setFocus();

    tmrTrophy = new QTimer(this);
    tmrTrophy->setObjectName(QStringLiteral("tmrTrophy"));
    tmrTrophy->setInterval(TrophyInterval);

    tmrSparkle = new QTimer(this);
    tmrSparkle->setObjectName(QStringLiteral("tmrSparkle"));
    tmrSparkle->setInterval(SparkleInterval);
    tmrSparkle->setSingleShot(true);

    connect(cmdOK, &QPushButton::clicked, this, &frmScores::cmdOk_Click);
    connect(cmdReset, &QPushButton::clicked, this, &frmScores::cmdReset_Click);
    connect(tmrTrophy, &QTimer::timeout, this, &frmScores::tmrTrophy_Timer);
    connect(tmrSparkle, &QTimer::timeout, this, &frmScores::tmrSparkle_Timer);
}

frmScores::~frmScores() = default;

bool frmScores::IsHighScore(const QString &strName, qint32 intScore, qint16 intPercent)
{
    return HighScoreTable::IsHighScore(strName, intScore, intPercent);
}

void frmScores::showEvent(QShowEvent *event)
{
    if (!m_loaded)
        Form_Load();
    QDialog::showEvent(event);
}

void frmScores::Form_Load()
{
    m_loaded = true;
    // Every showing starts from the window as designed: an empty grid and the resting trophy.
    for (int r = 0; r < GridRows; ++r)
        for (int c = 0; c < GridCols; ++c)
            if (QTableWidgetItem *item = grdScores->item(r, c))
                item->setText(QString());
    imgTrophy->setPixmap(Resources::picture(QStringLiteral("TROPHY1")));
    FormatGrid();
    m_table.LoadScores(); // reports its own errors and loads what it can
    FillGrid();
    tmrTrophy->start();
}

void frmScores::done(int result)
{
    EndSparkle();
    tmrTrophy->stop();
    m_loaded = false;
    QDialog::done(result);
}

QTableWidgetItem *frmScores::Cell(int row, int col) const
{
    // Every cell got its item when the grid was made.
    return grdScores->item(row, col);
}

void frmScores::FormatGrid()
{
    QFont gridFont = grdScores->font();
    gridFont.setFamily(QStringLiteral("MS Sans Serif"));
    grdScores->setFont(gridFont);

    for (int c = 0; c < GridCols; ++c)
        grdScores->setColumnWidth(c, Twips::ToPixels(ColumnTwips[c]));

    // The title row is one cell across the grid.
    grdScores->setSpan(0, 0, 1, GridCols);
    QFont titleFont = gridFont;
    titleFont.setPointSizeF(10);
    titleFont.setBold(true);
    for (int c = 0; c < GridCols; ++c) {
        QTableWidgetItem *cell = Cell(0, c);
        cell->setForeground(QColor(0, 0, 255));
        cell->setFont(titleFont);
        cell->setTextAlignment(Qt::AlignCenter);
        cell->setText(QStringLiteral("Highest Scores"));
    }

    QFont boldFont = gridFont;
    boldFont.setBold(true);
    const QString headings[GridCols] = {QString(), QStringLiteral("Name"), QStringLiteral("Score"),
                                        QStringLiteral("Percent")};
    for (int c = FixedCols; c < GridCols; ++c) {
        QTableWidgetItem *cell = Cell(1, c);
        cell->setTextAlignment(Qt::AlignCenter);
        cell->setFont(boldFont);
        cell->setText(headings[c]);
    }

    for (int r = FixedRows; r < GridRows; ++r)
        Cell(r, 0)->setFont(boldFont);
}

void frmScores::FillGrid()
{
    constexpr auto numberAlignment = Qt::AlignRight | Qt::AlignVCenter;
    for (int i = 1; i <= HighScoreTable::Size; ++i) {
        const int r = FixedRows - 1 + i;
        const HighScore &entry = m_table.Entry(i);
        Cell(r, 0)->setTextAlignment(numberAlignment);
        Cell(r, 0)->setText(QString::number(i) + u'.');
        // An entry without points shows its rank only, whatever its name and percent.
        if (entry.Score != 0) {
            Cell(r, 1)->setText(entry.Name);
            Cell(r, 2)->setTextAlignment(numberAlignment);
            Cell(r, 2)->setText(QString::number(entry.Score));
            Cell(r, 3)->setTextAlignment(numberAlignment);
            Cell(r, 3)->setText(QString::number(entry.Percent));
        }
    }
}

void frmScores::ClearGrid()
{
    for (int r = FixedRows; r < GridRows; ++r)
        for (int c = FixedCols; c < GridCols; ++c)
            Cell(r, c)->setText(QString());
}

void frmScores::cmdOk_Click()
{
    accept();
}

void frmScores::cmdReset_Click()
{
    const int answer = MsgBox::show(QStringLiteral("Are you sure that you want to reset all scores?"),
                                    MsgBox::YesNo + MsgBox::Question,
                                    QStringLiteral("Reset Small Board Scores"));
    if (answer != MsgBox::Yes)
        return;
    ClearGrid();
    m_table.DeleteScores();
}

void frmScores::tmrTrophy_Timer()
{
    // While an earlier tick's error report is still open, or a sparkle still runs, skip the tick.
    if (m_busy || m_sparkleFrame >= 0 || !m_loaded)
        return;
    const QScopedValueRollback<bool> busy(m_busy, true);
    basMain::Trap([this] {
        ShowTrophy(0);
        m_sparkleFrame = 0;
        tmrSparkle->start();
    });
}

void frmScores::tmrSparkle_Timer()
{
    if (!m_loaded || m_sparkleFrame < 0) {
        EndSparkle();
        return;
    }
    const QScopedValueRollback<bool> busy(m_busy, true);
    const int frame = m_sparkleFrame + 1;
    // The sparkle ends when its last picture is shown or a picture fails (reported once).
    m_sparkleFrame = -1;
    basMain::Trap([&] {
        ShowTrophy(frame);
        if (frame + 1 < int(SparkleFrames.size())) {
            m_sparkleFrame = frame;
            tmrSparkle->start();
        }
    });
}

void frmScores::ShowTrophy(int frame)
{
    imgTrophy->setPixmap(LoadPicture(QLatin1String(SparkleFrames.at(std::size_t(frame)))));
}

void frmScores::EndSparkle()
{
    tmrSparkle->stop();
    m_sparkleFrame = -1;
}
