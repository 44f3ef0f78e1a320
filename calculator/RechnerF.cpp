#include "RechnerF.h"

#include "captionbutton.h"
#include "clsResize.h"
#include "conversionlabel.h"
#include "germanformat.h"
#include "kern.h"
#include "twips.h"
#include "updowncontrol.h"
#include "windowplacement.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <cmath>

namespace {

// Design layout in twips: the client area below the menu bar, and the window's outer size and
// place at scale 1 (the screen presets multiply these).
constexpr int ClientWidth = 4200;
constexpr int ClientHeight = 5655;
constexpr double BaseWidth = 4290;
constexpr double BaseHeight = 6435;
constexpr double BaseLeft = 4005;
constexpr double BaseTop = 1605;

const QString DmCaption = QStringLiteral("DM    ");
const QString EuroCaption = QStringLiteral("Euro  ");

QFont sansFont(double points, bool bold) {
    QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

// The tape's lines are padded with blanks to keep the numbers in columns.
QFont tapeFont(double points) {
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setStyleHint(QFont::Monospace);
    f.setPointSizeF(points);
    return f;
}

void setArrayElement(QObject* o, const QString& name, int index) {
    o->setObjectName(name);
    o->setProperty("index", index);
}

// A label the way the calculator's labels look: opaque, on the face colour of the buttons.
void paintOpaque(QLabel* label, const QColor& background, const QColor& text) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, background);
    pal.setColor(QPalette::WindowText, text);
    label->setPalette(pal);
    label->setAutoFillBackground(true);
}

// The display's text as a number: the typed-entry form ("12,"), the plain text ("3,33") or
// its exponent form ("1E-06").
double numberOfText(const QString& text) {
    const QString t = text.trimmed();
    double v = 0.0;
    if (Kern::ReadGermanNumber(t, &v))
        return v;
    QString c = t;
    c.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    v = QLocale::c().toDouble(c, &ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

} // namespace

RechnerF::RechnerF(QWidget* parent) : QDialog(parent), m_engine(this) {
    setObjectName(QStringLiteral("RechnerF"));
    setWindowTitle(QStringLiteral("Rechner"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);

    m_menuBar = new QMenuBar(this);
    MDrucken = m_menuBar->addAction(QStringLiteral("&Drucken"));
    MDrucken->setObjectName(QStringLiteral("MDrucken"));
    MInfo = m_menuBar->addAction(QStringLiteral("&Info"));
    MInfo->setObjectName(QStringLiteral("MInfo"));
    connect(MDrucken, &QAction::triggered, this, &RechnerF::MDrucken_Click);
    connect(MInfo, &QAction::triggered, this, &RechnerF::MInfo_Click);

    m_client = new QWidget(this);
    QPalette teal = m_client->palette();
    teal.setColor(QPalette::Window, QColor(0, 128, 128));
    m_client->setPalette(teal);
    m_client->setAutoFillBackground(true);

    buildControls();

    setFixedSize(Twips::toPx(ClientWidth, this),
                 Twips::toPx(ClientHeight, this) + m_menuBar->sizeHint().height());

    // Every typed character reaches the calculator before the control that has the focus.
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
}

RechnerF::~RechnerF() = default;

void RechnerF::place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(Twips::rectToPx(left, top, width, height, this));
}

CaptionButton* RechnerF::addKey(const QString& name, int index, const QString& caption,
                                const QString& keyText, int left, int top, int width, int height) {
    auto* b = new CaptionButton(caption, m_client);
    setArrayElement(b, name, index);
    b->setFont(sansFont(13.5, true));
    place(b, left, top, width, height);
    m_keyTexts.insert(b, keyText);
    connect(b, &QPushButton::clicked, this, [this, keyText] { Taste_Click(keyText); });
    return b;
}

void RechnerF::buildControls() {
    const QColor face = QGuiApplication::palette().color(QPalette::Button);
    const QColor faceText = QGuiApplication::palette().color(QPalette::ButtonText);

    Bon = new QListWidget(m_client);
    Bon->setObjectName(QStringLiteral("Bon"));
    Bon->setFont(tapeFont(9.75));
    Bon->setUniformItemSizes(true);
    Bon->setSelectionMode(QAbstractItemView::SingleSelection);
    place(Bon, 90, 90, 4000, 1980);

    Label2 = new QLabel(QStringLiteral("Dezimalstellen"), m_client);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(sansFont(8, false));
    Label2->setIndent(2);
    paintOpaque(Label2, face, faceText);
    place(Label2, 90, 2250, 1230, 300);

    Komma = new QLabel(QStringLiteral("2"), m_client);
    Komma->setObjectName(QStringLiteral("Komma"));
    Komma->setAlignment(Qt::AlignCenter);
    Komma->setFont(sansFont(9.75, true));
    Komma->setToolTip(QStringLiteral("Dezimalstellen zur kaufm. Rundung"));
    paintOpaque(Komma, face, faceText);
    place(Komma, 1305, 2250, 300, 300);

    UpDown1 = new UpDownControl(m_client);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setRange(0, 6);
    UpDown1->setValue(2);
    place(UpDown1, 1606, 2250, 255, 300);
    connect(UpDown1, &UpDownControl::valueChanged, this, [this](int value) {
        Komma->setText(QString::number(value));
        UpDown1_Change();
    });

    DMEURO = new ConversionLabel(m_client);
    DMEURO->setObjectName(QStringLiteral("DMEURO"));
    DMEURO->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    DMEURO->setFont(sansFont(8, false));
    DMEURO->setIndent(2);
    paintOpaque(DMEURO, face, faceText);
    place(DMEURO, 2310, 2250, 1770, 300);
    connect(DMEURO, &ConversionLabel::clicked, this, &RechnerF::DMEURO_Click);

    Ausgabe = new QLabel(m_client);
    Ausgabe->setObjectName(QStringLiteral("Ausgabe"));
    Ausgabe->setFont(sansFont(13.5, true));
    // The text comes padded to 25 characters; flush right keeps the last digit in place even
    // though a blank is narrower than a digit.
    Ausgabe->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Ausgabe->setIndent(4);
    paintOpaque(Ausgabe, Qt::black, Qt::red);
    place(Ausgabe, 90, 2700, 4000, 465);

    Taste.resize(11);
    Operator.resize(6);
    C_Taste.resize(2);
    const int columns[3] = {90, 680, 1270};
    const int rows[3] = {3330, 3915, 4500}; // 7 8 9, 4 5 6, 1 2 3
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            const int digit = 7 - 3 * r + c;
            const QString d = QString::number(digit);
            Taste[digit] =
                addKey(QStringLiteral("Taste"), digit, QLatin1Char(' ') + d + QLatin1Char(' '), d,
                       columns[c], rows[r], 500, 500);
        }
    }
    Operator[0] = addKey(QStringLiteral("Operator"), 0, QStringLiteral(" ÷ "), QStringLiteral("/"),
                         1860, 3330, 500, 500);
    C_Taste[0] = addKey(QStringLiteral("C_Taste"), 0, QStringLiteral(" &C "), QStringLiteral("C"),
                        2450, 3330, 630, 500);
    Operator[1] = addKey(QStringLiteral("Operator"), 1, QStringLiteral(" x "), QStringLiteral("*"),
                         1860, 3915, 500, 500);
    C_Taste[1] = addKey(QStringLiteral("C_Taste"), 1, QStringLiteral("C&E"), QStringLiteral("E"),
                        2450, 3915, 630, 500);
    Operator[2] = addKey(QStringLiteral("Operator"), 2, QStringLiteral(" - "), QStringLiteral("-"),
                         1860, 4500, 500, 500);
    Taste[0] = addKey(QStringLiteral("Taste"), 0, QStringLiteral(" 0 "), QStringLiteral("0"), 90,
                      5090, 500, 500);
    Taste[10] = addKey(QStringLiteral("Taste"), 10, QStringLiteral(" , "), QStringLiteral("."), 680,
                       5085, 500, 500);
    Operator[4] = addKey(QStringLiteral("Operator"), 4, QStringLiteral(" % "), QStringLiteral("%"),
                         1270, 5085, 500, 500);
    Operator[3] = addKey(QStringLiteral("Operator"), 3, QStringLiteral(" + "), QStringLiteral("+"),
                         1860, 5085, 500, 500);
    Operator[5] = addKey(QStringLiteral("Operator"), 5, QStringLiteral(" = "), QStringLiteral("="),
                         2450, 5085, 630, 500);

    const QString conversions[3] = {QStringLiteral("&DM"), QStringLiteral("E&uro"),
                                    QStringLiteral("&Switch")};
    const int conversionTops[3] = {3330, 3580, 3840};
    for (int i = 0; i < 3; ++i) {
        auto* b = new CaptionButton(conversions[i], m_client);
        setArrayElement(b, QStringLiteral("DM_Euro"), i);
        b->setFont(sansFont(8, false));
        place(b, 3150, conversionTops[i], 960, 240);
        connect(b, &QPushButton::clicked, this, [this, i] { DM_Euro_Click(i); });
        DM_Euro.append(b);
    }
    DM_Euro[2]->setToolTip(QStringLiteral("vertauscht die Zahlen in beiden Zahlenfeldern"));
    DM_Euro[2]->setEnabled(false);

    const QString endCaptions[2] = {QStringLiteral("Ende &ohne Übernahme"),
                                    QStringLiteral("Ende &mit Übernahme")};
    const int endTops[2] = {4500, 5085};
    for (int i = 0; i < 2; ++i) {
        auto* b = new CaptionButton(endCaptions[i], m_client);
        setArrayElement(b, QStringLiteral("EndeButton"), i);
        b->setFont(sansFont(8, false));
        place(b, 3150, endTops[i], 960, 500);
        connect(b, &QPushButton::clicked, this, [this, i] { EndeButton_Click(i); });
        EndeButton.append(b);
    }
}

void RechnerF::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    const int menuHeight = m_menuBar->sizeHint().height();
    m_menuBar->setGeometry(0, 0, width(), menuHeight);
    m_client->setGeometry(0, menuHeight, width(), std::max(0, height() - menuHeight));
}

bool RechnerF::event(QEvent* e) {
    const bool result = QDialog::event(e);
    // Opened and placed as it is shown, before the window manager maps it, rather than when it
    // is first activated, which comes at a different moment on every opening.
    if ((e->type() == QEvent::Show || e->type() == QEvent::WindowActivate) && !m_opened)
        Form_Activate();
    return result;
}

void RechnerF::Form_Activate() {
    if (m_opened)
        return;
    m_opened = true;
    m_engine.Open();
    m_resize = std::make_unique<clsResize>();
    m_resize->oForm(this);
    m_resize->Initialize();
    // Placed again once the window manager has framed the window, which it does after mapping.
    WindowPlacement::keep(this, [this] { PlaceWindow(); });
}

void RechnerF::PlaceWindow() {
    Kern::PresetScale(Kern::ScreenPreset);
    // The border is fixed for the user; the window keeps a fixed size at the preset's.
    Twips::setOuterWidth(this, BaseWidth * Kern::ScaleX);
    Twips::setOuterHeight(this, BaseHeight * Kern::ScaleY);
    Twips::setOuterPos(this, BaseLeft * Kern::ScaleX, BaseTop * Kern::ScaleY);
    m_resize->DoResize();
}

bool RechnerF::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, e);
    auto* ke = static_cast<QKeyEvent*>(e);
    // Tab moves the focus and the access keys (Alt+letter) work as everywhere else.
    if (ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const int key = ke->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || ke->text().isEmpty())
        return false;
    if (!m_opened)
        Form_Activate();

    if (key == Qt::Key_Space) {
        // The space bar uses the focused key as if clicked; HandleKey ignores the blank itself.
        const auto it = m_keyTexts.constFind(watched);
        if (it != m_keyTexts.constEnd()) {
            m_engine.HandleKey(*it);
            return true;
        }
        m_engine.HandleKey(ke->text());
        if (auto* button = qobject_cast<QPushButton*>(watched); button && button->isEnabled())
            button->click();
        return true;
    }
    for (const QChar c : ke->text())
        m_engine.HandleKey(QString(c));
    // The focus now sits on "=", so Enter works that key.
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
    }
    return true;
}

void RechnerF::Taste_Click(const QString& keyText) {
    if (!m_opened)
        Form_Activate();
    m_engine.HandleKey(keyText);
}

void RechnerF::DM_Euro_Click(int index) {
    if (!m_opened)
        Form_Activate();
    CalculatorState& s = m_engine.state();
    const double shown = numberOfText(Ausgabe->text());
    QString currency;
    switch (index) {
    case 0:
        currency = DmCaption;
        s.convertedValue = shown * DmRate;
        break;
    case 1:
        currency = EuroCaption;
        s.convertedValue = shown / DmRate;
        break;
    case 2:
        currency = DMEURO->text().startsWith(QLatin1String("DM")) ? EuroCaption : DmCaption;
        s.convertedValue = shown;
        if (s.pendingOperator == QLatin1String("=") || s.pendingOperator == QLatin1String("%"))
            s.accumulator = s.roundedConvertedValue;
        s.entry = s.roundedConvertedValue;
        m_engine.ShowDisplay(s.entry, false);
        break;
    default:
        return;
    }
    if (!std::isfinite(s.convertedValue)) {
        m_engine.ResetAfterOverflow();
        blankConversionField();
        m_engine.ShowDisplay(s.displayValue, true);
        return;
    }
    // Rounded as the tape rounds its results: half away from zero at the decimal places.
    double rounded = 0.0;
    if (!Kern::ReadGermanNumber(m_engine.ResultPatternText(s.convertedValue), &rounded))
        rounded = s.convertedValue;
    s.roundedConvertedValue = rounded;
    DMEURO->setResultText(Kern::PlainNumberText(rounded));
    DMEURO->setText(currency + DMEURO->resultText());
    setSwitchEnabled(true);
    focusEqualsKey();
}

void RechnerF::DMEURO_Click() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(DMEURO->resultText());
    accept();
}

void RechnerF::EndeButton_Click(int index) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    if (index == 1)
        clipboard->setText(Kern::PlainNumberText(m_engine.state().displayValue));
    accept();
}

void RechnerF::MDrucken_Click() {
    QStringList lines;
    for (int i = 0; i < Bon->count(); ++i)
        lines << Bon->item(i)->text();
    if (std::none_of(lines.cbegin(), lines.cend(),
                     [](const QString& line) { return !line.trimmed().isEmpty(); }))
        return;
    std::unique_ptr<QPrinter> printer = m_printerFactory ? m_printerFactory() : defaultPrinter();
    if (!printer || !printTape(*printer, lines))
        showMessage(QStringLiteral("Der Druck konnte nicht ausgeführt werden."),
                    QStringLiteral("Drucken"), MessageButtons::Ok);
}

std::unique_ptr<QPrinter> RechnerF::defaultPrinter() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer->setDocName(QStringLiteral("Rechner"));
    return printer;
}

bool RechnerF::printTape(QPrinter& printer, const QStringList& lines) {
    QPainter p;
    if (!p.begin(&printer))
        return false;
    // Monospaced like the tape on screen, so the numbers stay in columns on paper too.
    const QFont font = tapeFont(10);
    p.setFont(font);
    const QFontMetrics fm(font, &printer);
    const int pageHeight = printer.height();
    int y = 0;
    for (const QString& line : lines) {
        if (y > 0 && y + fm.lineSpacing() > pageHeight) {
            if (!printer.newPage()) {
                p.end();
                return false;
            }
            y = 0;
        }
        p.drawText(0, y + fm.ascent(), line);
        y += fm.lineSpacing();
    }
    return p.end() && printer.printerState() != QPrinter::Error;
}

void RechnerF::MInfo_Click() {
    showMessage(QStringLiteral("Copyright © 2014 Schotterfix"),
                QStringLiteral("Info zum Taschenrechner"), MessageButtons::Ok);
}

void RechnerF::UpDown1_Change() {
    m_engine.TakeDecimalPlaces();
    blankConversionField();
    setSwitchEnabled(false);
}

// CalculatorView on the controls

void RechnerF::setDisplayText(const QString& text) {
    Ausgabe->setText(text);
}

void RechnerF::clearTape() {
    Bon->clear();
}

int RechnerF::tapeLineCount() const {
    return Bon->count();
}

QString RechnerF::tapeLine(int i) const {
    const QListWidgetItem* item = Bon->item(i);
    return item ? item->text() : QString();
}

void RechnerF::writeTapeLine(int i, const QString& text) {
    if (QListWidgetItem* item = Bon->item(i))
        item->setText(text);
    else
        Bon->addItem(text);
}

void RechnerF::selectLastTapeLine() {
    const int last = Bon->count() - 1;
    if (last < 0)
        return;
    Bon->setCurrentRow(last);
    Bon->scrollToItem(Bon->item(last));
}

void RechnerF::blankConversionField() {
    DMEURO->setText(QString());
}

void RechnerF::setSwitchEnabled(bool enabled) {
    DM_Euro[2]->setEnabled(enabled);
}

void RechnerF::focusEqualsKey() {
    Operator[5]->setFocus();
}

QString RechnerF::decimalPlacesCaption() const {
    return Komma->text();
}

void RechnerF::showMessage(const QString& text, const QString& title, MessageButtons buttons) {
    QMessageBox box(QMessageBox::Information, title, text,
                    buttons == MessageButtons::Ok ? QMessageBox::Ok
                                                  : QMessageBox::Ok | QMessageBox::Cancel,
                    this);
    if (QAbstractButton* cancel = box.button(QMessageBox::Cancel))
        cancel->setText(QStringLiteral("Abbrechen"));
    box.exec();
}
