#include "app/mainwindow.h"
#include "app/qtfrench.h"
#include "app/screenfit.h"
#include "day/cashcount.h"
#include "day/ui/daypage.h"
#include "form/mainwindowform.h"
#include "form/prescaledicon.h"
#include "windowtest.h"

namespace {

// Bound by name, in the order the meta-object must list them.
const char *const kSlots[][2] = {
    {"nbPrix", "valueChanged(int)"}, {"radioPourcent", "clicked(bool)"}, {"radioFixe", "clicked(bool)"},
    {"commandLinkButton_2", "clicked()"}, {"nbMises", "valueChanged(int)"},
    {"nbNoirsPayes", "valueChanged(int)"}, {"commandLinkButton", "clicked()"},
    {"commandLinkButton_3", "clicked()"}, {"pushButton", "clicked()"}, {"unEuro", "clicked(bool)"},
    {"cinqEuro", "clicked(bool)"},
};

// The form alone, on a plain window: what loadSettings does later must not
// blur what the form itself builds.
struct Form
{
    QMainWindow window;
    MainWindowForm f;
    Form() { f.setupForm(&window); }
    template <typename T = QObject>
    T *get(const QString &name) { return window.findChild<T *>(name); }
};

// Box items in order, form rows as "label:field", grid cells as "name@row,column";
// "~" is a horizontal spacer, "|" a vertical one, "-" an empty place.
QString contents(QLayout *layout)
{
    const auto nameOf = [](QLayoutItem *item) -> QString {
        if (!item)
            return "-";
        if (QSpacerItem *spacer = item->spacerItem())
            return spacer->sizePolicy().horizontalPolicy() == QSizePolicy::Expanding ? "~" : "|";
        return item->widget() ? item->widget()->objectName() : item->layout()->objectName();
    };
    QStringList parts;
    auto *form = qobject_cast<QFormLayout *>(layout);
    for (int row = 0; form && row < form->rowCount(); ++row)
        parts << nameOf(form->itemAt(row, QFormLayout::LabelRole)) + ':'
                + nameOf(form->itemAt(row, QFormLayout::FieldRole));
    for (int i = 0; !form && i < layout->count(); ++i) {
        parts << nameOf(layout->itemAt(i));
        int row, column, rowSpan, columnSpan;
        if (auto *grid = qobject_cast<QGridLayout *>(layout)) {
            grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
            parts.last() += QString("@%1,%2").arg(row).arg(column);
        }
    }
    return parts.join(' ');
}

// QObject::receivers is protected; naming it through a subclass reaches it.
struct Receivers : QObject
{
    static int of(const QObject *object, const QByteArray &signal)
    {
        return (object->*&Receivers::receivers)(signal.constData());
    }
};

} // namespace

class TestForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void widgets_data();
    void widgets();
    void layouts_data();
    void layouts();
    void spinBoxes_data();
    void spinBoxes();
    void buttonIcons_data();
    void buttonIcons();
    void helpTexts_data();
    void helpTexts();
    void startState();
    void focusChain();
    void metaObjectHoldsExactlyTheElevenSlotsAllBound();
    void standardShortcutsPressTheirButton_data();
    void standardShortcutsPressTheirButton();
    void keysOnFocusedWidgets_data();
    void keysOnFocusedWidgets();
    void pricesReadAsTyped_data();
    void pricesReadAsTyped();
    void helpKeyShowsOneGuideWindowFromEitherTab();
    void guideQuotesTheProgram_data();
    void guideQuotesTheProgram();
    void qtTextsAreFrench_data();
    void qtTextsAreFrench();
    void windowIsFixedWidthAndClosingItEndsWithZero();
    void opensOnTheCategoryThenTheCounts();
    void scaleFitsWindowToScreen_data();
    void scaleFitsWindowToScreen();
};

void TestForm::initTestCase()
{
    installQtFrench(*qApp);
}

void TestForm::widgets_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("className");
    // Title of a group box, text of the rest, as the form leaves them; a null string is not checked.
    QTest::addColumn<QString>("text");
    // The label beside a field, whose text a screen reader must speak for it.
    QTest::addColumn<QString>("label");

    const struct { const char *name, *cls; QString text; const char *label = ""; } rows[] = {
        {"centralWidget", "QWidget", ""}, {"tabWidget", "QTabWidget", ""}, {"tab", "QWidget", ""},
        {"label", "QLabel", {}}, {"comboBox", "QComboBox", ""},
        {"groupBox_6", "QGroupBox", "Fréquentation"}, {"label_19", "QLabel", "Nombre de mises"},
        {"label_20", "QLabel", "Nombre de noirs remboursés"}, {"nbNoirsPayes", "QSpinBox", "", "label_20"},
        {"nbMises", "QSpinBox", "", "label_19"}, {"groupBox_4", "QGroupBox", "Bilan"},
        {"label_6", "QLabel", "Somme totale encaissée"}, {"sommeEncaisse", "QLineEdit", "", "label_6"},
        {"label_9", "QLabel", "Montant des frais"}, {"montantFrais", "QLineEdit", "", "label_9"},
        {"label_10", "QLabel", "Somme des Noirs Payés"}, {"sommeNoirs", "QLineEdit", "", "label_10"},
        {"label_11", "QLabel", "Somme des prix distribués"}, {"sommePrix", "QLineEdit", "", "label_11"},
        {"commandLinkButton", "CommandButton", "Calculer"},
        {"commandLinkButton_3", "CommandButton", "Imprimer"}, {"groupBox_2", "QGroupBox", "Gain"},
        {"TextGain", "QPlainTextEdit", ""}, {"blason", "QLabel", ""}, {"tab_2", "QWidget", ""},
        {"groupBox", "QGroupBox", "Général"}, {"label_2", "QLabel", "Tarif de la mise"},
        {"tarifMise", "PriceBox", "", "label_2"}, {"label_3", "QLabel", "Tarif des noirs"},
        {"tarifNoir", "PriceBox", "", "label_3"}, {"label_4", "QLabel", "Gain Minimum"},
        {"gainMini", "QSpinBox", "", "label_4"},
        {"label_5", "QLabel", "Pourcentage de frais"}, {"pourcentFrais", "QSpinBox", "", "label_5"},
        {"label_8", "QLabel", "Arrondir les sommes à"}, {"unEuro", "QRadioButton", "1 €"},
        {"cinqEuro", "QRadioButton", "5€"}, {"groupBox_5", "QGroupBox", "Prix"},
        {"label_12", "QLabel", "Nombre de prix"}, {"nbPrix", "QSpinBox", "", "label_12"},
        {"label_13", "QLabel", "Type de gain"},
        {"radioPourcent", "QRadioButton", "Pourcentage"}, {"radioFixe", "QRadioButton", "Fixe"},
        {"labelPrix1", "QLabel", "1er prix"}, {"valeurPrix1", "QSpinBox", "", "labelPrix1"},
        {"labelPrix2", "QLabel", "2ème prix"},
        {"labelPrix3", "QLabel", "3ème prix"}, {"labelPrix4", "QLabel", "4ème prix"},
        {"labelPrix5", "QLabel", "5ème prix"}, {"valeurPrix2", "QSpinBox", "", "labelPrix2"},
        {"valeurPrix3", "QSpinBox", "", "labelPrix3"}, {"valeurPrix4", "QSpinBox", "", "labelPrix4"},
        {"valeurPrix5", "QSpinBox", "", "labelPrix5"}, {"groupBox_3", "QGroupBox", "Divers"},
        {"label_7", "QLabel", "Blason à utiliser pour l'impression "}, {"blasonPrint", "QLineEdit", "", "label_7"},
        {"labelNomClub", "QLabel", "Nom du club"}, {"nomClub", "QLineEdit", "", "labelNomClub"},
        {"pushButton", "QPushButton", "..."}, {"commandLinkButton_2", "CommandButton", "Sauvegarder"},
    };
    for (const auto &r : rows)
        QTest::newRow(r.name) << QString(r.name) << QByteArray(r.cls) << r.text << QString(r.label);
}

void TestForm::widgets()
{
    QFETCH(QString, name);

    Form form;
    const QList<QWidget *> named = form.window.findChildren<QWidget *>(name);
    QCOMPARE(named.size(), 1);
    QWidget *widget = named.first();
    QTEST(QByteArray(widget->metaObject()->className()), "className");
    const char *property = qobject_cast<QGroupBox *>(widget)        ? "title"
                           : qobject_cast<QPlainTextEdit *>(widget) ? "plainText"
                           : qobject_cast<QAbstractSpinBox *>(widget) ? "" // its text is its value
                                                                      : "text";
    QFETCH(QString, text);
    if (!text.isNull())
        QCOMPARE(widget->property(property).toString(), text);

    // Without a buddy, a screen reader falls back on the group box's title,
    // which the fields of one group share.
    QFETCH(QString, label);
    if (label.isEmpty())
        return;
    auto *caption = form.get<QLabel>(label);
    QCOMPARE(caption->buddy(), widget);
    const QString spoken = QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
    QCOMPARE(spoken, caption->text());
    QStringList sameName;
    for (QWidget *input : form.window.findChildren<QWidget *>()) {
        if (input->focusPolicy() != Qt::NoFocus && !input->objectName().startsWith("qt_")
            && QAccessible::queryAccessibleInterface(input)->text(QAccessible::Name) == spoken)
            sameName << input->objectName();
    }
    QCOMPARE(sameName, QStringList{name});
}

void TestForm::layouts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("className");
    QTest::addColumn<QString>("holder"); // the widget it is installed on, or the layout it is nested in
    QTest::addColumn<QString>("contents");

    const char *const rows[][4] = {
        {"verticalLayout", "QVBoxLayout", "centralWidget", "tabWidget"},
        {"verticalLayout_2", "QVBoxLayout", "tab",
         "horizontalLayout_8 horizontalLayout_2 horizontalLayout_6 horizontalLayout"},
        {"horizontalLayout_8", "QHBoxLayout", "verticalLayout_2", "~ label comboBox"},
        {"horizontalLayout_2", "QHBoxLayout", "verticalLayout_2", "groupBox_6 groupBox_4"},
        {"formLayout_4", "QFormLayout", "groupBox_6", "label_19:nbMises label_20:nbNoirsPayes"},
        {"formLayout_2", "QFormLayout", "groupBox_4",
         "label_6:sommeEncaisse label_9:montantFrais label_10:sommeNoirs label_11:sommePrix"},
        {"horizontalLayout_6", "QHBoxLayout", "verticalLayout_2", "~ commandLinkButton ~ commandLinkButton_3 ~"},
        {"horizontalLayout", "QHBoxLayout", "verticalLayout_2", "groupBox_2"},
        {"horizontalLayout_4", "QHBoxLayout", "groupBox_2", "TextGain blason"},
        {"verticalLayout_3", "QVBoxLayout", "tab_2", "groupBox groupBox_5 groupBox_3 horizontalLayout_5 |"},
        {"formLayout", "QFormLayout", "groupBox",
         "label_2:tarifMise label_3:tarifNoir label_4:gainMini label_5:pourcentFrais label_8:horizontalLayout_7"},
        {"horizontalLayout_7", "QHBoxLayout", "formLayout", "unEuro cinqEuro"},
        {"formLayout_3", "QFormLayout", "groupBox_5",
         "label_12:nbPrix label_13:horizontalLayout_3 labelPrix1:valeurPrix1 labelPrix2:valeurPrix2 "
         "labelPrix3:valeurPrix3 labelPrix4:valeurPrix4 labelPrix5:valeurPrix5"},
        {"horizontalLayout_3", "QHBoxLayout", "formLayout_3", "radioPourcent radioFixe"},
        {"gridLayout", "QGridLayout", "groupBox_3",
         "label_7@1,0 blasonPrint@1,1 pushButton@1,2 labelNomClub@2,0 nomClub@2,1"},
        {"horizontalLayout_5", "QHBoxLayout", "verticalLayout_3", "~ commandLinkButton_2 ~"},
    };
    for (const auto &r : rows)
        QTest::newRow(r[0]) << QString(r[0]) << QByteArray(r[1]) << QString(r[2]) << QString(r[3]);
}

void TestForm::layouts()
{
    QFETCH(QString, name);

    Form form;
    const QList<QLayout *> named = form.window.findChildren<QLayout *>(name);
    QCOMPARE(named.size(), 1);
    QLayout *layout = named.first();
    QTEST(QByteArray(layout->metaObject()->className()), "className");
    QTEST(layout->parent()->objectName(), "holder");
    // Only a layout installed on a widget has margins.
    const bool installed = layout->parent()->isWidgetType();
    if (installed)
        QCOMPARE(static_cast<QWidget *>(layout->parent())->layout(), layout);
    const int margin = installed ? 11 : 0;
    QCOMPARE(layout->contentsMargins(), QMargins(margin, margin, margin, margin));
    QCOMPARE(layout->spacing(), 6);
    QTEST(contents(layout), "contents");
    for (int i = 0; i < layout->count(); ++i) {
        if (QSpacerItem *spacer = layout->itemAt(i)->spacerItem()) {
            const bool vertical = spacer->sizePolicy().verticalPolicy() == QSizePolicy::Expanding;
            QCOMPARE(spacer->sizeHint(), vertical ? QSize(20, 40) : QSize(40, 20));
        }
    }
}

void TestForm::spinBoxes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("suffix");

    const struct { const char *name; double minimum, maximum, value; const char *suffix; } rows[] = {
        {"nbMises", 0, 9999, 0, ""}, {"nbNoirsPayes", 0, 9999, 0, ""}, {"tarifMise", 0, 99.99, 3.5, " €"},
        {"tarifNoir", 0, 99.99, 0.5, " €"}, {"gainMini", 0, 99, 3, " €"}, {"pourcentFrais", 0, 99, 20, " %"},
        {"nbPrix", 1, 5, 1, ""}, {"valeurPrix1", 0, 9999, 0, ""}, {"valeurPrix2", 0, 99999, 0, ""},
        {"valeurPrix3", 0, 9999, 0, ""}, {"valeurPrix4", 0, 9999, 0, ""}, {"valeurPrix5", 0, 9999, 0, ""},
    };
    for (const auto &r : rows)
        QTest::newRow(r.name) << QString(r.name) << r.minimum << r.maximum << r.value << QString(r.suffix);
}

void TestForm::spinBoxes()
{
    QFETCH(QString, name);

    Form form;
    auto *box = form.get<QAbstractSpinBox>(name);
    QTEST(box->property("minimum").toDouble(), "minimum");
    QTEST(box->property("maximum").toDouble(), "maximum");
    QTEST(box->property("value").toDouble(), "value");
    QTEST(box->property("suffix").toString(), "suffix");
    QCOMPARE(box->property("singleStep").toDouble(), 1.0);
    if (auto *price = qobject_cast<QDoubleSpinBox *>(box))
        QCOMPARE(price->decimals(), 2);
}

// Whatever shortcut the buttons take, they must show what QIcon(original)
// shows, at every screen scale and in every mode a button draws.
void TestForm::buttonIcons_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("original");
    QTest::addColumn<qreal>("dpr");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("prescaled");

    const struct { const char *text, *name, *original; } buttons[] = {
        {"Calculer", "commandLinkButton", ":/roue.png"},
        {"Imprimer", "commandLinkButton_3", ":/printer.png"},
        {"Sauvegarder", "commandLinkButton_2", ":/disquette.png"},
    };
    for (const auto &b : buttons) {
        const auto row = [&b](const char *fault, qreal dpr, QIcon::Mode mode, bool prescaled) {
            QTest::addRow("%s %s", b.text, fault) << QString(b.name) << QString(b.original) << dpr
                                                  << int(mode) << prescaled;
        };
        row("x1: copy scaled otherwise than Qt", 1, QIcon::Normal, true);
        row("x1.25: copy of another size stretched", 1.25, QIcon::Normal, false);
        row("x1.5: 2x copy blurred down", 1.5, QIcon::Normal, false);
        row("x2: copy scaled otherwise than Qt", 2, QIcon::Normal, true);
        row("disabled x2: copy not greyed", 2, QIcon::Disabled, true);
    }
}

void TestForm::buttonIcons()
{
    QFETCH(QString, name);
    QFETCH(QString, original);
    QFETCH(qreal, dpr);
    QFETCH(int, mode);

    Form form;
    auto *button = form.get<QCommandLinkButton>(name);
    const QIcon icon = button->icon();
    const QIcon reference(original);
    const QSize size = button->iconSize();
    const QPixmap shown = icon.pixmap(size, dpr, QIcon::Mode(mode), QIcon::Off);
    const QPixmap expected = reference.pixmap(size, dpr, QIcon::Mode(mode), QIcon::Off);
    QVERIFY(!expected.isNull());
    QCOMPARE(shown.devicePixelRatio(), expected.devicePixelRatio());
    QCOMPARE(shown.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
             expected.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied));
    // Painting asks the engine itself, in terms Qt 6.4 and Qt 6.8 differ on.
    const auto painted = [&](const QIcon &which) {
        QImage image(size * dpr, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(dpr);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        which.paint(&painter, QRect(QPoint(), size), Qt::AlignCenter, QIcon::Mode(mode));
        return image;
    };
    QCOMPARE(painted(icon), painted(reference));
    // The button lays itself out by this, in device pixels at this scale.
    const QSize pixels = size * dpr;
    QCOMPARE(icon.actualSize(pixels, QIcon::Mode(mode)), reference.actualSize(pixels, QIcon::Mode(mode)));
    // Copies made for sizes the form no longer shows would leave start-up
    // decoding the originals again.
    QTEST(prescaledSizes(original).contains(expected.size()), "prescaled");
}

void TestForm::helpTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("help");

    const QString html = "<html><head/><body><p>%1</p></body></html>";
    QTest::newRow("nbNoirsPayes") << "nbNoirsPayes" << html.arg("Saisir le nombre de noirs payés aux archers");
    QTest::newRow("nbMises") << "nbMises" << html.arg("Saisir le nombre de mises encaissées");
    QTest::newRow("Calculer") << "commandLinkButton" << html.arg("Calculer le montant des prix dû aux archers");
    QTest::newRow("Imprimer") << "commandLinkButton_3" << html.arg("Imprimer en PDF le résultat du calcul");
    QTest::newRow("credits") << "blason"
                             << "<html><head/><body><p>Développé par Jovenard</p><p>Compagnie d'arc de CASTELBRUNE"
                                "</p><p><img src=\":/blasonCIE.png\" height=\"200\"/></p></body></html>";
    QTest::newRow("browse") << "pushButton" << "Parcourir le disque dur pour trouver l'image souhaiter";
    QTest::newRow("Sauvegarder has none") << "commandLinkButton_2" << "";
}

void TestForm::helpTexts()
{
    QFETCH(QString, name);

    Form form;
    QTEST(form.get<QWidget>(name)->whatsThis(), "help");
}

void TestForm::startState()
{
    Form form;
    QCOMPARE(form.window.objectName(), QString("MainWindow"));
    QCOMPARE(form.window.whatsThis(), QString("<html><head/><body><p><br/></p></body></html>"));
    QTabWidget *tabs = form.f.tabWidget;
    QCOMPARE(tabs->tabPosition(), QTabWidget::South);
    QCOMPARE(tabs->count(), 3);
    QCOMPARE(tabs->tabText(tabs->indexOf(form.f.tab)), QString("Calcul"));
    QCOMPARE(tabs->tabText(tabs->indexOf(form.f.tab_2)), QString("Configuration"));
    // The day's account comes last, and empty: the start builds nothing of it.
    QCOMPARE(tabs->indexOf(form.f.journee), 2);
    QCOMPARE(tabs->tabText(2), QString("Journée"));
    QCOMPARE(form.f.journee->objectName(), QString("journee"));
    QVERIFY(form.f.journee->children().isEmpty());
    QCOMPARE(tabs->currentWidget(), form.f.tab);
    QCOMPARE(form.window.centralWidget(), form.f.centralWidget);
    QVERIFY(!form.window.menuWidget() && !form.window.findChild<QStatusBar *>());

    QComboBox *combo = form.f.comboBox;
    QCOMPARE(combo->count(), 3);
    QCOMPARE(QStringList({combo->itemText(0), combo->itemText(1), combo->itemText(2)}),
             QStringList({"arc classique", "arc poulie", "arc droit"}));
    QCOMPARE(combo->currentIndex(), 0);
    QCOMPARE(combo->styleSheet(), QString("border: 0px solid gray;\nborder-radius: 0px;\npadding: 1px 18px 1px 3px;"));

    // The totals are the program's to fill; the prize list and crest path are the user's.
    for (const char *name : {"sommeEncaisse", "montantFrais", "sommeNoirs", "sommePrix", "blasonPrint"})
        QCOMPARE(form.get<QLineEdit>(name)->isReadOnly(), name != QLatin1String("blasonPrint"));
    QVERIFY(!form.f.TextGain->isReadOnly());
    const QList<bool> checked = {form.f.unEuro->isChecked(), form.f.cinqEuro->isChecked(),
                                 form.f.radioPourcent->isChecked(), form.f.radioFixe->isChecked()};
    QCOMPARE(checked, QList<bool>({false, false, true, false}));

    // Only the sizes are ours; every other font attribute follows the application.
    const QFont standard = QApplication::font();
    const QList<QPair<QWidget *, int>> fonts = {
        {form.f.label, 20}, {combo, 20}, {form.f.TextGain, 12}, {form.f.nbMises, standard.pointSize()}};
    for (const auto &[widget, points] : fonts) {
        QFont expected = standard;
        expected.setPointSize(points);
        QCOMPARE(widget->font(), expected);
    }
    QCOMPARE(combo->minimumSize(), QSize(240, 40));
    QCOMPARE(form.f.pushButton->minimumSize(), QSize(30, 0));
    QCOMPARE(form.f.blason->minimumSize(), QSize(220, 300));
    QCOMPARE(form.f.blason->pixmap().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
             QImage(":/blason.png").convertToFormat(QImage::Format_ARGB32_Premultiplied));
    QVERIFY(!form.f.blason->hasScaledContents());

    const QList<QPair<QCommandLinkButton *, QString>> icons = {
        {form.f.commandLinkButton, ":/roue.png"}, {form.f.commandLinkButton_3, ":/printer.png"},
        {form.f.commandLinkButton_2, ":/disquette.png"}};
    for (const auto &[button, path] : icons) {
        QCOMPARE(button->description(), QString());
        QCOMPARE(button->iconSize(), QSize(50, 50));
        // The icon's only size is its source's, so a wrong path shows up here.
        QCOMPARE(button->icon().availableSizes(), QList<QSize>{QImage(path).size()});
    }

    QMainWindow named;
    named.setObjectName("autre");
    MainWindowForm().setupForm(&named);
    QCOMPARE(named.objectName(), QString("autre"));
}

void TestForm::focusChain()
{
    const QStringList order = {
        "comboBox", "nbMises", "nbNoirsPayes", "commandLinkButton", "commandLinkButton_3", "sommeNoirs",
        "sommePrix", "tabWidget", "sommeEncaisse", "TextGain", "tarifMise", "tarifNoir", "gainMini",
        "pourcentFrais", "unEuro", "cinqEuro", "nbPrix", "radioPourcent", "radioFixe", "valeurPrix1",
        "valeurPrix2", "valeurPrix3", "valeurPrix4", "valeurPrix5", "blasonPrint", "pushButton",
        "commandLinkButton_2", "montantFrais"};
    Form form;
    // Qt puts a widget's own children (a spin box's editor, the tab bar) in
    // between; only the order of the named ones counts.
    QStringList chain;
    QWidget *start = form.get<QWidget>(order.first()), *next = start;
    do {
        if (order.contains(next->objectName()))
            chain << next->objectName();
        next = next->nextInFocusChain();
    } while (next != start);
    QCOMPARE(chain, order);
}

void TestForm::metaObjectHoldsExactlyTheElevenSlotsAllBound()
{
    const QMetaObject &meta = MainWindow::staticMetaObject;
    QCOMPARE(meta.className(), "MainWindow");
    QCOMPARE(meta.superClass(), &QMainWindow::staticMetaObject);
    QByteArrayList expected, own;
    for (const auto &s : kSlots)
        expected << "on_" + QByteArray(s[0]) + '_' + s[1];
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        const QMetaMethod method = meta.method(i);
        own << method.methodSignature();
        QCOMPARE(method.methodType(), QMetaMethod::Slot);
        QCOMPARE(method.access(), QMetaMethod::Private);
        QCOMPARE(method.returnType(), int(QMetaType::Void));
    }
    QCOMPARE(own, expected);
    QCOMPARE(meta.propertyCount(), meta.propertyOffset());
    QCOMPARE(meta.enumeratorCount(), meta.enumeratorOffset());
    QCOMPARE(meta.classInfoCount(), meta.classInfoOffset());
    QCOMPARE(meta.constructorCount(), 0);

    windowtest::ScratchDir scratch;
    QTest::failOnWarning(QRegularExpression("connectSlotsByName"));
    MainWindow window;
    for (int i = 0; i < expected.size(); ++i) {
        QObject *source = window.findChild<QObject *>(kSlots[i][0]);
        // Disconnecting drops every binding at once: exactly one must go, or
        // the slot would run twice per signal.
        const QByteArray slot = QByteArray::number(QSLOT_CODE) + expected[i];
        const QByteArray signal = QByteArray::number(QSIGNAL_CODE) + kSlots[i][1];
        const int before = Receivers::of(source, signal);
        QVERIFY2(QObject::disconnect(source, signal.constData(), &window, slot.constData()), expected[i]);
        QCOMPARE(before - Receivers::of(source, signal), 1);
    }
}

void TestForm::standardShortcutsPressTheirButton_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("written"); // the file that shows the button's slot ran

    QTest::newRow("Save runs Sauvegarder") << QKeySequence(QKeySequence::Save) << "commandLinkButton_2"
                                           << "save.ini";
    QTest::newRow("Print runs Imprimer") << QKeySequence(QKeySequence::Print) << "commandLinkButton_3"
                                         << "prixGeneral_arc_classique.pdf";
}

void TestForm::standardShortcutsPressTheirButton()
{
    QFETCH(QKeySequence, keys);
    QFETCH(QString, button);
    QFETCH(QString, written);

    windowtest::ScratchDir scratch;
    const QByteArray path = qgetenv("PATH");
    QVERIFY(windowtest::installFakeOpener(scratch.path(), scratch.filePath("opened.log")));
    const auto restorePath = qScopeGuard([&path] { qputenv("PATH", path); });
    MainWindow window;
    auto *pressed = windowtest::child<QAbstractButton>(window, button.toLatin1().constData());
    QVERIFY2(pressed->toolTip().endsWith('(' + keys.toString(QKeySequence::NativeText) + ')'),
             qPrintable(pressed->toolTip()));
    QSignalSpy clicks(pressed, &QAbstractButton::clicked);
    // A current list: "Imprimer" then prints without a question.
    windowtest::child<QAbstractButton>(window, "commandLinkButton")->click();
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    // From a field of either tab, whichever holds the button.
    auto *tabs = windowtest::child<QTabWidget>(window, "tabWidget");
    const char *const fields[] = {"nbMises", "tarifMise"};
    for (int page = 0; page < 2; ++page) {
        tabs->setCurrentIndex(page);
        auto *field = windowtest::child<QWidget>(window, fields[page]);
        field->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), field);
        QFile::remove(scratch.filePath(written));
        QTest::keySequence(field, keys);
        QCOMPARE(clicks.size(), page + 1);
        QTRY_VERIFY(QFileInfo::exists(scratch.filePath(written)));
    }
}

void TestForm::keysOnFocusedWidgets_data()
{
    QTest::addColumn<QString>("widget");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("written"); // the file a pressed button writes; empty: the focus moves on
    QTest::addColumn<QStringList>("walk");  // where the key takes the focus, pressed again and again

    QTest::newRow("Tab in the prize list leaves it instead of typing a tab") << "TextGain" << int(Qt::Key_Tab)
                                                                             << "" << QStringList();
    QTest::newRow("Enter presses the framed Calculer") << "commandLinkButton" << int(Qt::Key_Return) << ""
                                                       << QStringList();
    QTest::newRow("Enter presses the framed Sauvegarder") << "commandLinkButton_2" << int(Qt::Key_Return)
                                                           << "save.ini" << QStringList();
    QTest::newRow("the number pad's Enter presses the focused Sauvegarder")
        << "commandLinkButton_2" << int(Qt::Key_Enter) << "save.ini" << QStringList();
    QStringList count;
    for (int i = 0; i < day::denominationCount; ++i)
        count << QString::fromLatin1(pieceObjectName(i));
    QTest::newRow("Tab from the float walks the count as the box is counted, then the print buttons")
        << "fondDeCaisse" << int(Qt::Key_Tab) << ""
        << count + QStringList{"prixNonReclames", "remiseBanque", "motifEcart", "comptePar", "imprimerBilan",
                               "imprimerSaison"};
}

void TestForm::keysOnFocusedWidgets()
{
    QFETCH(QString, widget);
    QFETCH(int, key);
    QFETCH(QString, written);

    QFETCH(QStringList, walk);

    windowtest::ScratchDir scratch;
    MainWindow window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    // The "Journée" tab makes its widgets when first shown.
    auto *tabs = windowtest::child<QTabWidget>(window, "tabWidget");
    if (!window.findChild<QWidget *>(widget)) {
        tabs->setCurrentWidget(windowtest::child<QWidget>(window, "journee"));
        QCoreApplication::sendPostedEvents(); // its widgets show once the loop runs
    }
    auto *focused = windowtest::child<QWidget>(window, widget.toLatin1().constData());
    for (QWidget *page = focused; page; page = page->parentWidget())
        if (tabs->indexOf(page) >= 0)
            tabs->setCurrentWidget(page);
    focused->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), focused);
    if (!walk.isEmpty()) {
        QStringList walked;
        for (qsizetype i = 0; i < walk.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
            // A spin box's own editor has the focus inside it.
            QWidget *now = QApplication::focusWidget();
            walked << (now->objectName().startsWith("qt_") ? now->parentWidget()->objectName() : now->objectName());
        }
        QCOMPARE(walked, walk);
        return;
    }
    auto *button = qobject_cast<QAbstractButton *>(focused);
    if (button) {
        // Its frame shows which button Enter presses.
        const QImage framed = button->grab().toImage();
        focused->clearFocus();
        QVERIFY(button->grab().toImage() != framed);
        focused->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), focused);
    }
    QSignalSpy clicks(button ? button : focused, button ? SIGNAL(clicked()) : SIGNAL(destroyed()));
    QTest::keyClick(focused, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    if (!button) {
        QVERIFY(QApplication::focusWidget() != focused);
        QCOMPARE(windowtest::child<QPlainTextEdit>(window, "TextGain")->toPlainText(), QString());
        return;
    }
    QCOMPARE(clicks.size(), 1);
    if (!written.isEmpty())
        QVERIFY(QFileInfo::exists(scratch.filePath(written)));
}

void TestForm::pricesReadAsTyped_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("typed"); // "," and "." as typed; "#" the number pad's decimal key
    QTest::addColumn<double>("value");

    QTest::newRow("French system, a point: not ten times the price") << "fr_FR" << "4.00" << 4.0;
    QTest::newRow("French system, a comma") << "fr_FR" << "4,00" << 4.0;
    QTest::newRow("French system, the number pad's key") << "fr_FR" << "0#5" << 0.5;
    QTest::newRow("English system, a comma: not a thousands separator") << "en_US" << "0,5" << 0.5;
    QTest::newRow("English system, a point") << "en_US" << "3.50" << 3.5;
    QTest::newRow("German system, a point") << "de_DE" << "12.25" << 12.25;
}

void TestForm::pricesReadAsTyped()
{
    QFETCH(QString, locale);
    QFETCH(QString, typed);

    Form form;
    for (const char *name : {"tarifMise", "tarifNoir"}) {
        auto *box = form.get<QDoubleSpinBox>(name);
        box->setLocale(QLocale(locale));
        box->setValue(0);
        box->selectAll();
        for (const QChar c : typed) {
            if (c == '#')
                QTest::keyClick(box, Qt::Key_Period, Qt::KeypadModifier);
            else
                QTest::keyClicks(box, QString(c));
        }
        box->interpretText();
        QTEST(box->value(), "value");
    }
}

void TestForm::helpKeyShowsOneGuideWindowFromEitherTab()
{
    windowtest::ScratchDir scratch;
    MainWindow window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto *tabs = windowtest::child<QTabWidget>(window, "tabWidget");
    const char *const fields[] = {"nbMises", "tarifMise"};
    for (int page = 0; page < 2; ++page) {
        tabs->setCurrentIndex(page);
        auto *field = windowtest::child<QWidget>(window, fields[page]);
        // Pressed twice: the second brings the open guide back, it opens no other.
        for (int press = 0; press < 2; ++press) {
            window.activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), &window);
            field->setFocus();
            QTest::keySequence(field, QKeySequence::HelpContents);
            const auto guides = window.findChildren<QWidget *>("guideWindow");
            QCOMPARE(guides.size(), 1);
            QTRY_COMPARE(QApplication::activeWindow(), guides.first());
        }
        auto *guide = windowtest::child<QWidget>(window, "guideWindow");
        auto *browser = windowtest::child<QTextBrowser>(*guide, "guideBrowser");
        QCOMPARE(browser->source(), QUrl("qrc:/guide/guide.html"));
        QCOMPARE(browser->documentTitle(), QString("Guide de Prix général"));
        // Every picture the guide names, as the browser itself looks it up.
        int pictures = 0;
        for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                if (!format.isImageFormat())
                    continue;
                const QUrl name = browser->source().resolved(QUrl(format.toImageFormat().name()));
                const QVariant data = browser->loadResource(QTextDocument::ImageResource, name);
                QVERIFY2(!QImage::fromData(data.toByteArray()).isNull(), qPrintable(name.toString()));
                ++pictures;
            }
        }
        QCOMPARE(pictures, 4);
        QTest::keyClick(browser, Qt::Key_Escape);
        QTRY_VERIFY(!guide->isVisible());
    }
}

// Every text the guide quotes, as the program shows it.
void TestForm::guideQuotesTheProgram_data()
{
    QTest::addColumn<QString>("name"); // a widget of the form, whose text is read from it
    QTest::addColumn<QString>("text"); // or a message's text, for the rows without a widget
    for (const char *name : {"MainWindow", "label", "comboBox", "groupBox_6", "label_19", "label_20", "groupBox_4",
                             "label_6", "label_9", "label_10", "label_11", "commandLinkButton", "commandLinkButton_3",
                             "groupBox_2", "tab", "tab_2", "groupBox", "label_2", "label_3", "label_4", "label_5",
                             "label_8", "unEuro", "cinqEuro", "groupBox_5", "label_12", "label_13", "radioPourcent",
                             "radioFixe", "labelPrix1", "labelPrix2", "labelPrix3", "labelPrix4", "labelPrix5",
                             "groupBox_3", "label_7", "pushButton", "commandLinkButton_2", "journee"})
        QTest::newRow(name) << name << QString();
    for (const char *message : {"Erreur lors de la sauvegarde du fichier !",
                                "Le chemin du blason ne doit pas contenir de point-virgule\u00a0!",
                                "Erreur lors de la création du fichier PDF\u00a0!",
                                "Le fichier PDF a été créé mais n'a pas pu être ouvert.",
                                "La liste des prix ne correspond plus au bilan.", "Recalculer et imprimer",
                                "Imprimer tel quel", "Annuler", "Le journal n'a pas pu être mis à jour.", "Recalculer",
                                "La configuration a été modifiée mais n'a pas été sauvegardée.",
                                "Sauvegarder et fermer", "Fermer sans sauvegarder",
                                "Le comptage de la caisse n'a pas été imprimé.", "Changer de jour",
                                "Prix général a été arrêté sans avoir été fermé.", "Reprendre", "Ignorer",
                                "Le bilan n'a pas été imprimé.", "Le bilan de la saison n'a pas été imprimé.",
                                "Imprimer le bilan", "Bilan de la saison", "Ouvrir le journal", "Caisse attendue",
                                "Fond de caisse", "Prix non réclamés", "Remise en banque", "Motif de l'écart",
                                "Compté par"})
        QTest::newRow(message) << QString() << QString(message);
}

void TestForm::guideQuotesTheProgram()
{
    QFETCH(QString, name);
    QFETCH(QString, text);

    QFile file(":/guide/guide.html");
    QVERIFY(file.open(QIODevice::ReadOnly));
    QTextDocument guide;
    guide.setHtml(QString::fromUtf8(file.readAll()));
    const QString read = guide.toPlainText().simplified();

    windowtest::ScratchDir scratch;
    MainWindow window;
    QStringList quoted = {text};
    if (!name.isEmpty()) {
        quoted.clear();
        QWidget *widget = name == window.objectName() ? &window : windowtest::child<QWidget>(window, qPrintable(name));
        auto *tabs = windowtest::child<QTabWidget>(window, "tabWidget");
        if (widget == &window)
            quoted << window.windowTitle();
        else if (tabs->indexOf(widget) >= 0)
            quoted << tabs->tabText(tabs->indexOf(widget));
        else if (auto *combo = qobject_cast<QComboBox *>(widget))
            for (int i = 0; i < combo->count(); ++i)
                quoted << combo->itemText(i);
        else
            quoted << widget->property(qobject_cast<QGroupBox *>(widget) ? "title" : "text").toString();
    }
    // Spaces included, as "impression "; a non-breaking one reads as a space.
    for (const QString &quote : quoted)
        QVERIFY2(read.contains(QString(quote).replace(QChar::Nbsp, ' ')), qPrintable('"' + quote + '"'));
}

// Every word of Qt's own a user reads in the real window: the menu of a
// right click, the crest's file dialog, a message box.
void TestForm::qtTextsAreFrench_data()
{
    QTest::addColumn<QString>("name"); // the field right-clicked, or the button that opens a dialog
    // A text of the dialog, as Qt 6.11 asks for it, and the program's French
    // for it, which its own translation must hold whatever Qt runs; where the
    // running Qt's own French has the text as that Qt asks for it, Qt's words
    // must show instead.
    QTest::addColumn<QByteArray>("context");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("french");
    // Installed for the row as the program's own translation, beside the test;
    // empty: the program's, compiled in.
    QTest::addColumn<QString>("own");
    const auto english = [](const char *row, const char *name) {
        QTest::newRow(row) << name << QByteArray() << QString() << QString() << QString();
    };
    english("context menu of a line edit in English", "blasonPrint");
    english("context menu and steps of a spin box in English", "nbMises");
    english("context menu of the prize list in English", "TextGain");
    english("context menu of the guide in English", "guideBrowser");
    english("labels, buttons and columns of the crest's file dialog in English", "pushButton");
    english("buttons and reason of a failed save in English", "commandLinkButton_2");
    // Qt 6.11 gave these labels an accelerator, a text its French lacked.
    QTest::newRow("crest dialog's Look in left in English, or Qt's French overridden")
        << "pushButton" << QByteArray("QFileDialog") << "&Look in:" << QStringLiteral(u"&Voir dans\u00a0:") << "";
    QTest::newRow("crest dialog's Files of type left in English, or Qt's French overridden")
        << "pushButton" << QByteArray("QFileDialog") << "Files of &type:"
        << QStringLiteral(u"Fichiers de &type\u00a0:") << "";
    // A text Qt's French has in every release: reversed, the stand-in's words show.
    QTest::newRow("a text both translations hold shows in Qt's words: Qt's is installed last, so asked first")
        << "pushButton" << QByteArray("QPlatformTheme") << "Cancel" << "Annuler selon la traduction du test"
        << "standin_qtgaps_fr.qm";
}

void TestForm::qtTextsAreFrench()
{
    QFETCH(QString, name);
    QFETCH(QString, own);
    const QString ownFile =
        own.isEmpty() ? QStringLiteral(":/i18n/qtgaps_fr.qm") : QCoreApplication::applicationDirPath() + '/' + own;
    QObject rowTranslators; // on top of the program's, and gone with the row
    if (!own.isEmpty())
        installQtFrench(rowTranslators, ownFile);
    windowtest::ScratchDir scratch;
    QVERIFY(QDir().mkdir("save.ini")); // so that saving fails
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    if (name.startsWith("guide"))
        QTest::keySequence(&window, QKeySequence::HelpContents);
    auto *field = windowtest::child<QWidget>(window, qPrintable(name));
    QStringList read;
    if (qobject_cast<QAbstractButton *>(field)) {
        windowtest::whenModal<QDialog>(&window, [&read](QDialog *dialog) {
            for (QWidget *widget : dialog->findChildren<QWidget *>()) {
                read << widget->toolTip() << widget->property("text").toString();
                for (int column = 0; qobject_cast<QHeaderView *>(widget) && column < 4; ++column)
                    read << static_cast<QHeaderView *>(widget)->model()->headerData(column, Qt::Horizontal).toString();
            }
            dialog->reject();
        });
        windowtest::click(window, qPrintable(name));
    } else {
        windowtest::whenModal<QMenu>(&window, [&read](QMenu *menu) {
            for (const QAction *action : menu->actions())
                read << action->text();
            menu->close();
        });
        auto *area = qobject_cast<QAbstractScrollArea *>(field);
        QWidget *target = area ? area->viewport() : field;
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(4, 4), target->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(target, &click);
    }
    read.removeAll(QString());
    QTRY_VERIFY(!read.isEmpty()); // text fields pop their menu up without waiting for it
    const QStringList english = windowtest::englishWords(read.join('\n'));
    QVERIFY2(english.isEmpty(), qPrintable(english.join(' ') + " in:\n" + read.join('\n')));

    QFETCH(QByteArray, context);
    QFETCH(QString, source);
    QFETCH(QString, french);
    if (source.isEmpty())
        return;
    QTranslator translation;
    QVERIFY(translation.load(ownFile));
    QCOMPARE(translation.translate(context, qPrintable(source)), french);
    // Before Qt 6.11 the file dialog's labels had no accelerator.
    const bool accelerated = QLibraryInfo::version() >= QVersionNumber(6, 11);
    const QString asked = accelerated ? source : QString(source).remove('&');
    QTranslator qt;
    QVERIFY(qt.load(qtFrenchFile()));
    const QString qtWords = qt.translate(context, qPrintable(asked));
    // The stand-in's text must be Qt's too, or the row shows nothing.
    QVERIFY2(own.isEmpty() || !qtWords.isEmpty(), qPrintable(asked + " is not in " + qtFrenchFile()));
    const QString wanted = qtWords.isEmpty() ? french : qtWords;
    QVERIFY2(read.contains(wanted), qPrintable(wanted + " not in:\n" + read.join('\n')));
}

// A day typed from the keyboard alone: the category first, then Tab to its
// counts, "Calculer" and "Imprimer".
void TestForm::opensOnTheCategoryThenTheCounts()
{
    windowtest::ScratchDir scratch;
    MainWindow window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    for (const char *name : {"comboBox", "nbMises", "nbNoirsPayes", "commandLinkButton", "commandLinkButton_3"}) {
        QTRY_COMPARE(QApplication::focusWidget(), windowtest::child<QWidget>(window, name));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
}

void TestForm::windowIsFixedWidthAndClosingItEndsWithZero()
{
    windowtest::ScratchDir scratch;
    MainWindow window;
    // A title, a system menu with a working Close, the question mark, no
    // minimise or maximise. Windows greys Close without the close-button hint;
    // elsewhere the flags stay as they were.
    const Qt::WindowFlags flags = window.windowFlags();
    QVERIFY(flags.testFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                            | Qt::WindowContextHelpButtonHint));
    QVERIFY(!flags.testAnyFlags(Qt::WindowMinMaxButtonsHint | Qt::FramelessWindowHint));
#ifdef Q_OS_WIN
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
#else
    QVERIFY(!flags.testFlag(Qt::WindowCloseButtonHint));
#endif
    QCOMPARE(window.windowTitle(), QString("Calcul Prix généraux"));
    QCOMPARE(windowtest::child<QTabWidget>(window, "tabWidget")->currentIndex(), 0);
    QCOMPARE(window.size(), QSize(675, 653));
    // The picture main() gives the application must not be hidden behind an
    // icon that holds none, which is not null and shows nothing.
    const QIcon programIcon(QStringLiteral(":/orvan.ico"));
    QApplication::setWindowIcon(programIcon);
    QCOMPARE(window.windowIcon().availableSizes(), programIcon.availableSizes());
    QVERIFY(!programIcon.availableSizes().isEmpty());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // An open guide must not keep the program running once its window is closed.
    QTest::keySequence(&window, QKeySequence::HelpContents);
    const QWidget *guide = window.findChild<QWidget *>("guideWindow");
    QVERIFY(guide && guide->isVisible());
    for (const QSize &wanted : {QSize(900, 900), QSize(300, 800)}) {
        window.resize(wanted);
        QTRY_COMPARE(window.height(), wanted.height());
        QCOMPARE(window.width(), 675);
    }
    QTimer::singleShot(0, &window, &QWidget::close);
    QTimer::singleShot(10000, &window, [] { QCoreApplication::exit(99); }); // a loop that never ends fails
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!window.isVisible());
    QCOMPARE(windowtest::dirEntries(scratch.path()), QStringList());
}

void TestForm::scaleFitsWindowToScreen_data()
{
    // Sizes in the screen's units at the system's scale; the frame adds the
    // title bar and borders, which keep their size when the program shrinks.
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<QSize>("available");
    QTest::addColumn<double>("scale");
    QTest::newRow("fits at 100 % above a 1080-pixel screen's taskbar")
        << QSize(675, 653) << QSize(691, 692) << QSize(1920, 1032) << 1.0;
    QTest::newRow("fits to the last pixel: unchanged") << QSize(675, 653) << QSize(691, 684) << QSize(691, 684) << 1.0;
    QTest::newRow("150 % on a 1080-pixel laptop: tab bar below the taskbar")
        << QSize(675, 653) << QSize(691, 684) << QSize(1280, 672) << 0.97;
    QTest::newRow("one pixel too tall still shrinks") << QSize(675, 653) << QSize(691, 684) << QSize(691, 683)
                                                      << 0.98;
    QTest::newRow("too narrow: the width decides") << QSize(675, 653) << QSize(691, 684) << QSize(600, 1000)
                                                   << 0.85;
    QTest::newRow("no usable screen: a quarter, never nothing")
        << QSize(675, 653) << QSize(691, 684) << QSize(20, 20) << 0.25;
}

void TestForm::scaleFitsWindowToScreen()
{
    QFETCH(QSize, client);
    QFETCH(QSize, frame);
    QFETCH(QSize, available);
    QFETCH(double, scale);
    const double fitted = fittingScale(client, frame, available);
    QCOMPARE(fitted, scale);
    if (scale > 0.25) {
        const QSize shrunk = (QSizeF(client) * fitted).toSize() + (frame - client);
        QVERIFY2(shrunk.width() <= available.width() && shrunk.height() <= available.height(),
                 qPrintable(QString("%1x%2").arg(shrunk.width()).arg(shrunk.height())));
    }
}

QTEST_MAIN(TestForm)
#include "tst_form.moc"
