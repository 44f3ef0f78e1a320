#include "seite1.h"

#include "germanformat.h"
#include "inputrules.h"
#include "kern.h"
#include "linebreakfilter.h"
#include "resultcommands.h"
#include "resulttablemodel.h"
#include "searchrunner.h"
#include "settings.h"
#include "toolbaricons.h"
#include "trackfile.h"
#include "twips.h"

#include "clsResize.h"
#include "linecontrol.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QToolBar>

#include <cmath>

namespace {

// The grid's headings carry long texts ("Anzahl Gleise") in narrow columns; the style's usual
// margin around a heading would cut them off.
class NarrowHeadingStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_HeaderMargin)
            return 1;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

const char* const DesignCaption = "Kuppli's Schotterfix";

void place(QWidget* w, double left, double top, double width, double height) {
    w->setGeometry(Twips::rectToPx(left, top, width, height, w));
}

template <typename T> T* make(QWidget* parent, const char* name, int index = -1) {
    auto* w = new T(parent);
    w->setObjectName(QLatin1String(name));
    if (index >= 0)
        w->setProperty("index", index);
    return w;
}

QLabel* makeLabel(QWidget* parent, const char* name, int index, const QString& caption,
                  Qt::Alignment align, double l, double t, double w, double h) {
    auto* label = make<QLabel>(parent, name, index);
    label->setText(caption);
    label->setAlignment(align);
    label->setWordWrap(true);
    place(label, l, t, w, h);
    return label;
}

// Which rule a box follows while typing and when it loses the focus.
enum class BoxRule { None, Length, Minimum, Maximum };

BoxRule ruleOf(const QObject* box) {
    return BoxRule(box->property("sfxRule").toInt());
}

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
    connect(m_model, &Kern::ResultTableModel::layoutChangedTwips, this, &Seite1::applyGridLayout);
    m_model->SetUpResultTable(m_result, m_screen);

    m_runner = new SearchRunner(this);
    connect(m_runner, &SearchRunner::progress, this, [this](qint64 found) {
        if (found > 0)
            setLabelText(Kern::ResultCaption(found));
    });
    connect(m_runner, &SearchRunner::finished, this, &Seite1::searchFinished);
    // Esc stops a running search from anywhere in the window.
    m_stopSearch = new QAction(this);
    m_stopSearch->setShortcut(QKeySequence(Qt::Key_Escape));
    m_stopSearch->setEnabled(false);
    connect(m_stopSearch, &QAction::triggered, m_runner, &SearchRunner::stop);
    addAction(m_stopSearch);
    m_resultCommands = new ResultCommands(m_grid, dateiEntry(7), this);

    // Design size: the client area below the menu bar is 9480 x 8445 twips.
    m_client->setMinimumSize(0, 0);
    resize(Twips::toPx(9480, this), Twips::toPx(8445, this) + menuBar()->sizeHint().height());
    if (const QScreen* s = screen()) {
        const QRect avail = s->geometry();
        move(avail.center() - QPoint(width() / 2, height() / 2));
    }
}

Seite1::~Seite1() = default;

void Seite1::buildControls() {
    // Frames and the controls directly on the window.
    m_frame3 = make<QGroupBox>(m_client, "Frame3");
    m_frame3->setTitle(QStringLiteral("Gleiswahl"));
    place(m_frame3, 30, 450, 4185, 3855);
    m_frame2 = make<QGroupBox>(m_client, "Frame2");
    m_frame2->setTitle(QStringLiteral("Strecken- und Kombinationswahl"));
    place(m_frame2, 4320, 450, 3525, 1785);
    m_frame1 = make<QGroupBox>(m_client, "Frame1");
    place(m_frame1, 30, 4350, 9375, 4065);

    m_command1 = make<QPushButton>(m_client, "Command1");
    m_command1->setText(QStringLiteral("&Start Berechnung"));
    place(m_command1, 5850, 2760, 1995, 645);
    connect(m_command1, &QPushButton::clicked, this, &Seite1::Command1_Click);

    m_label1 = makeLabel(m_client, "Label1", -1, QStringLiteral("Ergebnis:"), Qt::AlignCenter, 4410,
                         3660, 3405, 465);
    QFont bold = m_label1->font();
    bold.setBold(true);
    m_label1->setFont(bold);
    m_label1->setAutoFillBackground(true);
    m_label1->setBackgroundRole(QPalette::Window);

    // The track table.
    const Qt::Alignment centre = Qt::AlignCenter;
    makeLabel(m_frame3, "Label5", 1, QStringLiteral("Artikel- Nr"), centre, 510, 240, 525, 375);
    makeLabel(m_frame3, "Label5", 2, QStringLiteral("Länge (mm)"), centre, 1200, 210, 525, 375);
    makeLabel(m_frame3, "Label5", 3, QStringLiteral("Anzahl"), centre, 1890, 210, 1335, 225);
    makeLabel(m_frame3, "Label5", 0, QStringLiteral("min.        max."), centre, 1890, 420, 1335,
              225);
    makeLabel(m_frame3, "Label5", 4, QStringLiteral("Preis je Gleis"), centre, 3390, 210, 555, 375);
    auto* line2 = make<LineControl>(m_frame3, "Line2");
    line2->setLine(480, 660, 3950, 660);

    auto box = [this](QWidget* parent, const char* name, int index, double l, double t, double w,
                      double h, BoxRule rule) {
        auto* e = make<QLineEdit>(parent, name, index);
        e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        e->setProperty("sfxRule", int(rule));
        LineBreakFilter::attach(e);
        if (rule != BoxRule::None) // composed input would bypass the typing rules
            e->setAttribute(Qt::WA_InputMethodEnabled, false);
        place(e, l, t, w, h);
        e->installEventFilter(this);
        return e;
    };
    for (int i = 1; i <= Kern::TrackRows; ++i) {
        const double top = 720 + 300 * (i - 1);
        auto* c = make<QCheckBox>(m_frame3, "Check1", i);
        c->setChecked(true);
        place(c, 210, top + 30, 225, 225);
        m_check[std::size_t(i)] = c;
        m_text6[std::size_t(i)] = box(m_frame3, "Text6", i, 480, top, 585, 285, BoxRule::None);
        m_text3[std::size_t(i)] = box(m_frame3, "Text3", i, 1170, top, 585, 285, BoxRule::Length);
        m_text3[std::size_t(i)]->setText(QStringLiteral("0.0"));
        m_text4[std::size_t(i)] = box(m_frame3, "Text4", i, 1860, top, 585, 285, BoxRule::Minimum);
        m_text4[std::size_t(i)]->setText(QStringLiteral("0"));
        m_text5[std::size_t(i)] = box(m_frame3, "Text5", i, 2550, top, 585, 285, BoxRule::Maximum);
        m_text5[std::size_t(i)]->setText(QStringLiteral("9999"));
        m_text7[std::size_t(i)] = box(m_frame3, "Text7", i, 3360, top, 585, 285, BoxRule::None);
        m_text7[std::size_t(i)]->setText(QStringLiteral("0,00"));
    }

    // Route and combination settings.
    makeLabel(m_frame2, "Label0", -1, QStringLiteral("Länge                 Max. Abweichungen"),
              Qt::AlignLeft | Qt::AlignVCenter, 390, 240, 2895, 195)
        ->setWordWrap(false);
    makeLabel(m_frame2, "Label2", -1,
              QStringLiteral("(mm)                   (mm)                (mm)"),
              Qt::AlignLeft | Qt::AlignVCenter, 450, 450, 2745, 255)
        ->setWordWrap(false);
    auto* line1 = make<LineControl>(m_frame2, "Line1");
    line1->setLine(180, 675, 3375, 675);
    m_text2 = box(m_frame2, "Text2", -1, 180, 750, 885, 315, BoxRule::Length);
    m_combo1 = make<QComboBox>(m_frame2, "Combo1");
    m_combo2 = make<QComboBox>(m_frame2, "Combo2");
    for (int d = 0; d <= 10; ++d) {
        const QString magnitude = Kern::FormatPattern(d / 10.0, QStringLiteral("0.0"));
        m_combo1->addItem(d == 0 ? magnitude : QStringLiteral("-") + magnitude, d);
        m_combo2->addItem(d == 0 ? magnitude : QStringLiteral("+") + magnitude, d);
    }
    m_combo1->setMaxVisibleItems(11);
    m_combo2->setMaxVisibleItems(11);
    place(m_combo1, 1410, 750, 885, 315);
    place(m_combo2, 2460, 750, 885, 315);
    makeLabel(m_frame2, "Label3", -1, QStringLiteral("Maximale Kombinationen"),
              Qt::AlignLeft | Qt::AlignVCenter, 240, 1230, 1995, 225)
        ->setWordWrap(false);
    m_text1 = box(m_frame2, "Text1", -1, 2460, 1200, 885, 285, BoxRule::None);
    m_text1->setMaxLength(3);
    m_text1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    // The result area.
    m_grid = make<QTableView>(m_frame1, "Grid");
    place(m_grid, 90, 450, 9225, 3585);
    m_grid->verticalHeader()->hide();
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setWordWrap(false);
    m_grid->horizontalHeader()->setSectionsClickable(true);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_grid->horizontalHeader()->setMinimumSectionSize(1);
    m_grid->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    auto* headingStyle = new NarrowHeadingStyle;
    headingStyle->setParent(m_grid->horizontalHeader());
    m_grid->horizontalHeader()->setStyle(headingStyle);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &Seite1::Grid_Click);
    connect(m_grid, &QTableView::clicked, this,
            [this](const QModelIndex& index) { Grid_Click(index.column()); });
    makeLabel(m_frame1, "Label4", 0, QStringLiteral("Strecke (mm)"),
              Qt::AlignLeft | Qt::AlignVCenter, 900, 150, 1215, 225)
        ->setWordWrap(false);
    makeLabel(m_frame1, "Label4", 1, QStringLiteral("Gleistypen (mm)"),
              Qt::AlignLeft | Qt::AlignVCenter, 4200, 150, 1485, 225)
        ->setWordWrap(false);

    // Keyboard order: row by row, then the route settings and the start button.
    QWidget* previous = nullptr;
    auto chain = [&previous](QWidget* w) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    };
    for (int i = 1; i <= Kern::TrackRows; ++i) {
        chain(m_check[std::size_t(i)]);
        chain(m_text6[std::size_t(i)]);
        chain(m_text3[std::size_t(i)]);
        chain(m_text4[std::size_t(i)]);
        chain(m_text5[std::size_t(i)]);
        chain(m_text7[std::size_t(i)]);
    }
    chain(m_text2);
    chain(m_combo1);
    chain(m_combo2);
    chain(m_text1);
    chain(m_command1);
}

void Seite1::buildToolbar() {
    m_toolbar1 = make<QToolBar>(m_client, "Toolbar1");
    m_toolbar1->setMovable(false);
    m_toolbar1->setFloatable(false);
    m_toolbar1->setIconSize(QSize(16, 16));
    m_toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    place(m_toolbar1, 0, 0, 9480, 420);
    struct Button {
        const char* key;
        const char* tag;
        const char* tip;
    };
    const Button buttons[11] = {
        {nullptr, nullptr, nullptr},
        {"laden", "1", "Gleisliste laden"},
        {"speichern", "2", "Gleisliste speichern"},
        {nullptr, nullptr, nullptr},
        {"drucken", "4", "Drucken"},
        {nullptr, nullptr, nullptr},
        {"Rechner", "6", "Rechner mit Ergebnisübernahme"},
        {nullptr, nullptr, nullptr},
        {"Ende", "8", "Programm beenden"},
        {nullptr, nullptr, nullptr},
        {"Hilfe", "10", "Bedienungshilfe"},
    };
    for (int pos = 1; pos <= 10; ++pos) {
        const Button& b = buttons[pos];
        QAction* a = nullptr;
        if (!b.key) {
            a = m_toolbar1->addSeparator();
        } else {
            a = m_toolbar1->addAction(ToolbarIcon(QLatin1String(b.key)), QString());
            a->setToolTip(QString::fromUtf8(b.tip));
            a->setProperty("Key", QLatin1String(b.key));
            a->setProperty("Tag", QLatin1String(b.tag));
            connect(a, &QAction::triggered, this, [this, pos] { Toolbar1_ButtonClick(pos); });
        }
        a->setObjectName(QStringLiteral("Toolbar1"));
        a->setProperty("index", pos);
        m_toolButtons[std::size_t(pos)] = a;
    }
}

void Seite1::buildMenus() {
    auto entry = [this](QMenu* menu, const char* name, int index, const QString& caption,
                        const QKeySequence& keys, void (Seite1::*handler)(int)) {
        QAction* a = caption.isEmpty() ? menu->addSeparator() : menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        a->setProperty("index", index);
        if (!keys.isEmpty())
            a->setShortcut(keys);
        if (!caption.isEmpty())
            connect(a, &QAction::triggered, this,
                    [this, handler, index] { (this->*handler)(index); });
        return a;
    };

    m_dateiMenu = menuBar()->addMenu(QStringLiteral("&Datei"));
    m_dateiMenu->setObjectName(QStringLiteral("Datei_Menue"));
    entry(m_dateiMenu, "Datei", 1, QStringLiteral("Gleiswahl &laden"),
          QKeySequence(Qt::CTRL | Qt::Key_L), &Seite1::Datei_Click);
    entry(m_dateiMenu, "Datei", 2, QStringLiteral("Gleiswahl &speichern"),
          QKeySequence(Qt::CTRL | Qt::Key_S), &Seite1::Datei_Click);
    entry(m_dateiMenu, "Datei", 3, QString(), {}, &Seite1::Datei_Click);
    entry(m_dateiMenu, "Datei", 4, QStringLiteral("&Drucken"), QKeySequence(Qt::CTRL | Qt::Key_P),
          &Seite1::Datei_Click);
    entry(m_dateiMenu, "Datei", 7, QStringLiteral("Ergebnis &exportieren..."), {},
          &Seite1::Datei_Click);
    entry(m_dateiMenu, "Datei", 5, QString(), {}, &Seite1::Datei_Click);
    entry(m_dateiMenu, "Datei", 6, QStringLiteral("&Beenden"), {}, &Seite1::Datei_Click);

    m_extrasMenu = menuBar()->addMenu(QStringLiteral("E&xtras"));
    m_extrasMenu->setObjectName(QStringLiteral("MenuExtras"));
    entry(m_extrasMenu, "MExtras", 1, QStringLiteral("&Rechner"), {}, &Seite1::MExtras_Click);
    entry(m_extrasMenu, "MExtras", 3, QString(), {}, &Seite1::MExtras_Click);
    const char* const presets[Kern::PresetCount] = {
        "&800 x 600",   "&1024 x 768", "1280 x 800",  "1&280 x 960",  "1280 x 1024", "1376 x &768",
        "1400 x 10&50", "1&440 x 900", "1600 x &900", "1&600 x 1200", "1680 x 1050", "1920 x 1080"};
    for (int p = 0; p < Kern::PresetCount; ++p) {
        QAction* a = entry(m_extrasMenu, "MExtras", 10 + p, QLatin1String(presets[p]), {},
                           &Seite1::MExtras_Click);
        a->setCheckable(true);
        a->setChecked(p == 1);
    }

    m_hilfeMenu = menuBar()->addMenu(QStringLiteral("&Hilfe"));
    m_hilfeMenu->setObjectName(QStringLiteral("Hilfe_Menue"));
    entry(m_hilfeMenu, "Hilfe", 1, QStringLiteral("Bedienungsanleitung"), QKeySequence(Qt::Key_F1),
          &Seite1::Hilfe_Click);
    entry(m_hilfeMenu, "Hilfe", 2, QString(), {}, &Seite1::Hilfe_Click);
    entry(m_hilfeMenu, "Hilfe", 3, QStringLiteral("&Info"), {}, &Seite1::Hilfe_Click);
}

static QAction* findEntry(const QMenu* menu, const char* name, int index) {
    for (QAction* a : menu->actions())
        if (a->objectName() == QLatin1String(name) && a->property("index").toInt() == index)
            return a;
    return nullptr;
}

QAction* Seite1::dateiEntry(int index) const {
    return findEntry(m_dateiMenu, "Datei", index);
}
QAction* Seite1::extrasEntry(int index) const {
    return findEntry(m_extrasMenu, "MExtras", index);
}
QAction* Seite1::hilfeEntry(int index) const {
    return findEntry(m_hilfeMenu, "Hilfe", index);
}

void Seite1::applyGridLayout() {
    const Kern::ResultTableModel* model = m_model;
    QHeaderView* header = m_grid->horizontalHeader();
    for (int c = 0; c < model->columnCount(); ++c)
        header->resizeSection(c, Twips::toPx(model->columnWidthTwips(c), this));
    const int headingPx = Twips::toPx(model->headingHeightTwips(), this);
    header->setFixedHeight(headingPx);
    m_grid->verticalHeader()->setDefaultSectionSize(headingPx);
}

// ---- key filters and focus rules of the track table and the route box ----

bool Seite1::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    const BoxRule rule = box ? ruleOf(box) : BoxRule::None;
    if (!box || rule == BoxRule::None)
        return QMainWindow::eventFilter(watched, event);

    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
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
        // Copy, cut and paste do nothing in these boxes, in every key form (Shift+Insert too).
        if (key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Copy) ||
            key->matches(QKeySequence::Cut))
            return true;
        const QString typed = key->text();
        if (typed.isEmpty())
            return false; // cursor keys and the like are no typed characters
        auto verdictFor = [&](QChar c, const QString& text) {
            return rule == BoxRule::Length ? Kern::LengthKeyRule(c, text) : Kern::DigitsKeyRule(c);
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
            const QChar taken =
                verdict.action == Kern::KeyVerdict::Replace ? verdict.replacement : c;
            if (verdict.action != Kern::KeyVerdict::Drop && taken != QChar(8))
                accepted += taken;
        }
        if (!accepted.isEmpty())
            box->insert(accepted);
        return true;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // Copy, cut and paste arrive as control characters and do nothing in these boxes;
        // keep the box from taking them as its own shortcuts.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Copy) ||
            key->matches(QKeySequence::Cut)) {
            event->accept();
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Only leaving the box for another control of this window counts: not opening a menu,
        // a popup or another window (the calculator, say), nor switching to another program.
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
            reason == Qt::MenuBarFocusReason)
            return false;
        const QWidget* next = QApplication::focusWidget();
        if (next && next->window() != box->window())
            return false;
        const char* zero = rule == BoxRule::Length    ? Kern::LengthZeroText
                           : rule == BoxRule::Minimum ? Kern::MinimumZeroText
                                                      : Kern::MaximumZeroText;
        const QString fixed = Kern::FocusLossText(box->text(), QLatin1String(zero));
        if (fixed != box->text())
            box->setText(fixed);
    }
    return false;
}

// ---- commands ----

void Seite1::Command1_Click() {
    if (m_runner->isRunning()) {
        m_runner->stop();
        return;
    }
    const double route = Kern::LeadingNumber(m_text2->text());
    const double limit = Kern::LeadingNumber(m_text1->text());
    setLabelText(QString());
    m_label1->repaint();
    const std::optional<Kern::SearchResult> search = Kern::FindCombinations(*this, route, limit);
    if (!search)
        return;
    m_command1->setText(QStringLiteral("Abbrechen"));
    m_stopSearch->setEnabled(true);
    m_runner->start(search->request);
}

bool Seite1::searchRunning() const {
    return m_runner->isRunning();
}

void Seite1::searchFinished(const std::vector<Kern::FoundCombination>& rows, double seconds,
                            bool stopped) {
    m_result.rows.assign(rows.begin(),
                         rows.begin() + std::min<std::ptrdiff_t>(rows.size(), Kern::StoreRows));
    m_result.stopped = stopped;
    m_model->FillResultTable(m_result);
    setLabelText(Kern::FinishedLabel(m_result.count(), seconds, stopped));
    m_stopSearch->setEnabled(false);
    m_command1->setText(QStringLiteral("&Start Berechnung"));
}

void Seite1::Grid_Click(int column) {
    m_sortFlag = !m_sortFlag;
    m_model->sortRows(column, m_sortFlag);
}

void Seite1::Datei_Click(int index) {
    // Entry 7 exports the result; it has no file command, the toolbar does not offer it.
    if (index == 7) {
        m_resultCommands->exportResult();
        return;
    }
    // Entry 6 "&Beenden" runs file command 8.
    FileCommand(index == 6 ? 8 : index);
}

void Seite1::FileCommand(int code) {
    switch (code) {
    case 1:
        loadCommand();
        break;
    case 2:
        saveCommand();
        break;
    case 4:
        printResultList();
        break;
    case 8:
        close();
        break;
    default:
        break;
    }
}

void Seite1::Toolbar1_ButtonClick(int position) {
    if ((position >= 1 && position <= 5) || position == 8) {
        const QAction* button = m_toolButtons[std::size_t(position)];
        const double tag =
            Kern::LeadingNumber(button ? button->property("Tag").toString() : QString());
        FileCommand(int(std::nearbyint(std::clamp(tag, -1e9, 1e9))));
    } else if (position == 6) {
        MExtras_Click(1);
    } else if (position == 10) {
        Hilfe_Click(1);
    }
}

void Seite1::MExtras_Click(int index) {
    if (index == 1) {
        openCalculator();
    } else if (index >= 10 && index <= 21) {
        choosePreset(index);
    }
}

void Seite1::Hilfe_Click(int index) {
    if (index == 1)
        openHelp();
    else if (index == 3)
        openAbout();
}

// ---- track-table files ----

static QString fileDialog(QWidget* parent, bool save, const QString& initial) {
    QFileDialog dialog(parent, save ? QStringLiteral("Gleis-Tabelle speichern")
                                    : QStringLiteral("Gleis-Tabelle laden"));
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(QStringLiteral("Schotterfix (*.sfr)"));
    dialog.setDefaultSuffix(QStringLiteral("sfr"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!initial.isEmpty() && initial != QLatin1String("*.sfr"))
        dialog.selectFile(initial);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

void Seite1::loadCommand() {
    loadFrom(fileDialog(this, false, QStringLiteral("*.sfr")));
}

void Seite1::saveCommand() {
    saveAs(fileDialog(this, true, m_currentTrackFile));
}

void Seite1::loadFrom(const QString& path) {
    // The current name changes only when the file could be read.
    if (!path.isEmpty() && loadTrackFile(path, false))
        m_currentTrackFile = path;
    updateCaption();
}

void Seite1::saveAs(const QString& path) {
    if (!path.isEmpty() && saveTrackFile(path))
        m_currentTrackFile = path;
    updateCaption();
}

void Seite1::updateCaption() {
    setWindowTitle(QLatin1String(DesignCaption) + QLatin1Char(' ') + m_currentTrackFile);
}

bool Seite1::loadTrackFile(const QString& path, bool silent) {
    TrackFile::Table table;
    int rows = 0;
    QString reason;
    if (!TrackFile::read(path, &table, &rows, &reason)) {
        if (!silent)
            QMessageBox(QMessageBox::NoIcon, QStringLiteral("Fehler beim Laden"),
                        QStringLiteral("Die Gleis-Tabelle konnte nicht geladen werden:\n%1\n%2")
                            .arg(QDir::toNativeSeparators(path), reason),
                        QMessageBox::Ok, this)
                .exec();
        return false;
    }
    for (int r = 1; r <= rows; ++r) {
        const TrackFile::Row& row = table[std::size_t(r - 1)];
        m_text3[std::size_t(r)]->setText(row.length);
        m_text6[std::size_t(r)]->setText(row.article);
        m_text7[std::size_t(r)]->setText(row.price);
    }
    return true;
}

bool Seite1::saveTrackFile(const QString& path) {
    TrackFile::Table table;
    for (int r = 1; r <= Kern::TrackRows; ++r) {
        TrackFile::Row& row = table[std::size_t(r - 1)];
        row.length = m_text3[std::size_t(r)]->text();
        row.article = m_text6[std::size_t(r)]->text();
        row.price = m_text7[std::size_t(r)]->text();
    }
    QString reason;
    if (!TrackFile::write(path, table, &reason)) {
        QMessageBox(QMessageBox::NoIcon, QStringLiteral("Fehler beim Speichern"),
                    QStringLiteral("Die Gleis-Tabelle konnte nicht gespeichert werden:\n%1\n%2")
                        .arg(QDir::toNativeSeparators(path), reason),
                    QMessageBox::Ok, this)
            .exec();
        return false;
    }
    return true;
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

void Seite1::setUpResultTable(const Kern::SearchResult& selection) {
    m_result = selection;
    m_model->SetUpResultTable(m_result, m_screen);
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
