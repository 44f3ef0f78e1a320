#include "seite1.h"
#include "seite1_build.h"

#include "boxinputfilter.h"
#include "inputrules.h"
#include "kern.h"
#include "resultcommands.h"
#include "resulttablemodel.h"
#include "searchprogressbar.h"
#include "searchrunner.h"
#include "settings.h"
#include "twips.h"

#include "clsResize.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTableView>

using namespace Seite1Build;

namespace {
const char* const DesignCaption = "Kuppli's Schotterfix";
} // namespace

Seite1::Seite1(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("Seite1"));
    setWindowTitle(QLatin1String(DesignCaption));
    QFont font = QApplication::font();
    font.setPointSizeF(8.25);
    setFont(font);

    m_client = new QWidget(this);
    setCentralWidget(m_client);
    buildControls();
    buildToolbar();
    buildMenus();

    m_model = new Kern::ResultTableModel(this);
    m_grid->setModel(m_model);
    // New columns come with a reset, and the header forgets its widths then.
    connect(m_model, &QAbstractItemModel::modelReset, this, &Seite1::applyGridLayout);
    applyGridLayout();

    m_runner = new SearchRunner(this);
    connect(m_runner, &SearchRunner::progress, this, [this](qint64 found) {
        if (found > 0)
            setLabelText(Kern::resultCaption(found));
    });
    connect(m_runner, &SearchRunner::finished, this, &Seite1::searchFinished);
    m_progress = new SearchProgressBar(m_client);
    connect(m_runner, &SearchRunner::workProgress, m_progress, &SearchProgressBar::showWork);
    // Esc stops a running search from anywhere in the window.
    m_stopSearch = new QAction(this);
    m_stopSearch->setShortcut(QKeySequence(Qt::Key_Escape));
    m_stopSearch->setEnabled(false);
    connect(m_stopSearch, &QAction::triggered, m_runner, &SearchRunner::stop);
    addAction(m_stopSearch);
    m_resultCommands = new ResultCommands(m_grid, m_model, dateiEntry(7), this);

    // Design size: the client area below the menu bar is 9480 x 8445 twips.
    m_client->setMinimumSize(0, 0);
    resize(Twips::toPx(9480, this), Twips::toPx(8445, this) + menuBar()->sizeHint().height());
    if (const QScreen* s = screen()) {
        const QRect avail = s->geometry();
        move(avail.center() - QPoint(width() / 2, height() / 2));
    }
}

Seite1::~Seite1() = default;

// ---- key filters and focus rules of the track table and the route box ----

namespace {

bool isClipboardKey(const QKeyEvent* key) {
    return key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Copy) ||
           key->matches(QKeySequence::Cut);
}

// Runs a typed key through the box's rule; true when the key is taken care of here.
bool filterBoxKey(QLineEdit* box, BoxRule rule, const QKeyEvent* key) {
    switch (key->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Delete:
        return false;
    default:
        break;
    }
    // Pasting (Ctrl+V, Shift+Insert) is the box's own: its validator takes the text by the
    // typing rule. Copy and cut do nothing in these boxes, in every key form.
    if (key->matches(QKeySequence::Paste))
        return false;
    if (isClipboardKey(key))
        return true;
    const QString typed = key->text();
    if (typed.isEmpty())
        return false; // cursor keys and the like are no typed characters
    auto verdictFor = [&](QChar c, const QString& text) {
        return rule == BoxRule::Length ? Kern::lengthKeyRule(c, text) : Kern::digitsKeyRule(c);
    };
    if (typed.size() == 1) {
        const Kern::KeyVerdict verdict = verdictFor(typed.at(0), box->text());
        if (verdict.action == Kern::KeyVerdict::Drop)
            return true;
        if (verdict.action == Kern::KeyVerdict::Replace) {
            box->insert(QString(verdict.replacement));
            return true;
        }
        return false;
    }
    // A key that types several characters at once: each one goes through the rule.
    QString accepted;
    for (const QChar c : typed) {
        const Kern::KeyVerdict verdict = verdictFor(c, box->text() + accepted);
        const QChar taken = verdict.action == Kern::KeyVerdict::Replace ? verdict.replacement : c;
        if (verdict.action != Kern::KeyVerdict::Drop && taken != QChar(8))
            accepted += taken;
    }
    if (!accepted.isEmpty())
        box->insert(accepted);
    return true;
}

void fixOnFocusLoss(QLineEdit* box, BoxRule rule, const QFocusEvent* focus) {
    const auto reason = focus->reason();
    // Only leaving the box for another control of this window counts: not opening a menu,
    // a popup or another window (the calculator, say), nor switching to another program.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
        reason == Qt::MenuBarFocusReason)
        return;
    const QWidget* next = QApplication::focusWidget();
    if (next && next->window() != box->window())
        return;
    const char* zero = rule == BoxRule::Length    ? Kern::LengthZeroText
                       : rule == BoxRule::Minimum ? Kern::MinimumZeroText
                                                  : Kern::MaximumZeroText;
    const QString fixed = Kern::focusLossText(box->text(), QLatin1String(zero));
    if (fixed != box->text())
        box->setText(fixed);
}

} // namespace

bool Seite1::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    const BoxRule rule = box ? ruleOf(box) : BoxRule::None;
    if (!box || rule == BoxRule::None)
        return QMainWindow::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::KeyPress:
        return filterBoxKey(box, rule, static_cast<QKeyEvent*>(event));
    case QEvent::ShortcutOverride:
        // The clipboard keys belong to the box (see filterBoxKey), never to a shortcut of the
        // window.
        if (isClipboardKey(static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
        return false;
    case QEvent::FocusOut:
        fixOnFocusLoss(box, rule, static_cast<QFocusEvent*>(event));
        return false;
    default:
        return false;
    }
}

// ---- commands ----

void Seite1::Command1_Click() {
    if (m_runner->isRunning()) {
        m_runner->stop();
        return;
    }
    const double route = Kern::leadingNumber(m_text2->text());
    const double limit = Kern::leadingNumber(m_text1->text());
    setLabelText(QString());
    m_label1->repaint();
    const std::optional<Kern::SearchResult> search = Kern::FindCombinations(*this, route, limit);
    if (!search)
        return;
    // The input passed: from here on the previous search's table is replaced.
    m_model->SetUpResultTable(*search);
    m_command1->setText(QStringLiteral("Abbrechen"));
    m_stopSearch->setEnabled(true);
    m_runner->start(search->request);
}

bool Seite1::searchRunning() const {
    return m_runner->isRunning();
}

void Seite1::searchFinished(const std::vector<Kern::FoundCombination>& rows, double seconds,
                            bool stopped) {
    m_model->FillResultTable(rows);
    setLabelText(Kern::finishedLabel(m_model->rowCount(), seconds, stopped));
    m_stopSearch->setEnabled(false);
    m_command1->setText(QStringLiteral("&Start Berechnung"));
}

void Seite1::Grid_Click(int column) {
    m_sortFlag = !m_sortFlag;
    m_model->sortRows(column, m_sortFlag);
}

void Seite1::endCommand() {
    close();
}

// ---- track-table files (seite1_table.cpp) ----

void Seite1::updateCaption() {
    setWindowTitle(QLatin1String(DesignCaption) + QLatin1Char(' ') + m_currentTrackFile);
}

// ---- the search view ----

QLineEdit* Seite1::fieldBox(Field field, int row) const {
    if (row < 1 || row > Kern::TrackRows)
        return nullptr;
    switch (field) {
    case Field::Article:
        return m_text6[std::size_t(row)];
    case Field::Length:
        return m_text3[std::size_t(row)];
    case Field::Minimum:
        return m_text4[std::size_t(row)];
    case Field::Maximum:
        return m_text5[std::size_t(row)];
    case Field::Price:
        return m_text7[std::size_t(row)];
    }
    return nullptr;
}

bool Seite1::isChecked(int row) const {
    return row >= 1 && row <= Kern::TrackRows && m_check[std::size_t(row)]->isChecked();
}

void Seite1::setChecked(int row, bool checked) {
    if (row >= 1 && row <= Kern::TrackRows)
        m_check[std::size_t(row)]->setChecked(checked);
}

QString Seite1::text(Field field, int row) const {
    const QLineEdit* box = fieldBox(field, row);
    return box ? box->text() : QString();
}

void Seite1::setPriceText(int row, const QString& text) {
    if (QLineEdit* box = fieldBox(Field::Price, row)) {
        box->setText(text);
        box->repaint();
    }
}

int Seite1::shortfallData() const {
    return m_combo1->currentData().toInt();
}

int Seite1::excessData() const {
    return m_combo2->currentData().toInt();
}

QString Seite1::labelText() const {
    return m_labelText;
}

void Seite1::setLabelText(const QString& text) {
    m_labelText = text;
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_label1->setText(shown);
}

void Seite1::showMessage(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, this);
    box.exec();
}

void Seite1::focusField(Field field, int row) {
    if (QLineEdit* box = fieldBox(field, row))
        box->setFocus(Qt::OtherFocusReason);
}

// ---- closing ----

void Seite1::closeEvent(QCloseEvent* event) {
    if (!m_unloaded && !mayReplaceTable()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void Seite1::Form_Unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_runner->stopAndWait();
    Kern::WriteSettings(m_screen.preset, m_currentTrackFile);
}
