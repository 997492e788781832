#include "form/mainwindowform.h"

#include "form/commandbutton.h"
#include "form/named.h"
#include "form/prescaledicon.h"
#include "form/pricebox.h"

#include <QComboBox>
#include <QCommandLinkButton>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSpacerItem>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWidget>

#include <iterator>

namespace {

constexpr int kSpacing = 6;
constexpr int kMargin = 11;
constexpr auto Label = QFormLayout::LabelRole;
constexpr auto Field = QFormLayout::FieldRole;

// Layouts installed on a widget keep a margin; nested ones sit flush.
template <typename Layout>
Layout *installedLayout(QWidget *owner, const char *name)
{
    auto *layout = new Layout(owner);
    layout->setSpacing(kSpacing);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->setObjectName(QString::fromLatin1(name));
    return layout;
}

QHBoxLayout *nestedRow(const char *name)
{
    auto *layout = new QHBoxLayout();
    layout->setSpacing(kSpacing);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setObjectName(QString::fromLatin1(name));
    return layout;
}

QSpacerItem *newHorizontalSpacer()
{
    return new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
}

// Stretch 0, and whatever height-for-width the widget already had.
void setPolicy(QWidget *widget, QSizePolicy::Policy horizontal, QSizePolicy::Policy vertical)
{
    QSizePolicy policy(horizontal, vertical);
    policy.setHorizontalStretch(0);
    policy.setVerticalStretch(0);
    policy.setHeightForWidth(widget->sizePolicy().hasHeightForWidth());
    widget->setSizePolicy(policy);
}

void setPointSize(QWidget *widget, int points)
{
    QFont font = widget->font();
    font.setPointSize(points);
    widget->setFont(font);
}

QSpinBox *countBox(QWidget *parent, const char *name, int maximum, int value = 0)
{
    auto *box = named<QSpinBox>(parent, name);
    box->setMaximum(maximum);
    box->setValue(value);
    return box;
}

QDoubleSpinBox *priceBox(QWidget *parent, const char *name, double value)
{
    auto *box = named<PriceBox>(parent, name);
    box->setDecimals(2);
    box->setMaximum(99.99);
    box->setSingleStep(1.0);
    box->setValue(value);
    return box;
}

// Every label-and-field row goes through here, one cell at a time, so that
// cells keep their creation order. A field becomes the buddy of the label
// already in its row: a screen reader then speaks that label, not the title
// of the group box, which several fields share.
template <typename Widget>
Widget *inRow(QFormLayout *layout, int row, QFormLayout::ItemRole role, Widget *widget)
{
    layout->setWidget(row, role, widget);
    if (role == Field) {
        if (auto *label = qobject_cast<QLabel *>(layout->itemAt(row, Label)->widget()))
            label->setBuddy(widget);
    }
    return widget;
}

QLineEdit *totalField(QWidget *parent, const char *name)
{
    auto *total = named<QLineEdit>(parent, name);
    total->setReadOnly(true); // computed, never typed
    return total;
}

QCommandLinkButton *commandButton(QWidget *parent, const char *name, const char *iconPath)
{
    auto *button = named<CommandButton>(parent, name);
    button->setIcon(prescaledIcon(QString::fromLatin1(iconPath)));
    button->setIconSize(QSize(50, 50));
    // Enter presses the button that has the focus, as on Windows.
    button->setAutoDefault(true);
    return button;
}

// No translator is installed, so the French source texts show unchanged.
QString tr(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}

void buildCountsBox(MainWindowForm &f)
{
    f.groupBox_6 = named<QGroupBox>(f.tab, "groupBox_6");
    f.formLayout_4 = installedLayout<QFormLayout>(f.groupBox_6, "formLayout_4");
    f.label_19 = inRow(f.formLayout_4, 0, Label, named<QLabel>(f.groupBox_6, "label_19"));
    f.label_20 = inRow(f.formLayout_4, 1, Label, named<QLabel>(f.groupBox_6, "label_20"));
    f.nbNoirsPayes = inRow(f.formLayout_4, 1, Field, countBox(f.groupBox_6, "nbNoirsPayes", 9999));
    f.nbMises = inRow(f.formLayout_4, 0, Field, countBox(f.groupBox_6, "nbMises", 9999));
}

void buildTotalsBox(MainWindowForm &f)
{
    f.groupBox_4 = named<QGroupBox>(f.tab, "groupBox_4");
    f.formLayout_2 = installedLayout<QFormLayout>(f.groupBox_4, "formLayout_2");
    f.label_6 = inRow(f.formLayout_2, 0, Label, named<QLabel>(f.groupBox_4, "label_6"));
    f.sommeEncaisse = inRow(f.formLayout_2, 0, Field, totalField(f.groupBox_4, "sommeEncaisse"));
    f.label_9 = inRow(f.formLayout_2, 1, Label, named<QLabel>(f.groupBox_4, "label_9"));
    f.montantFrais = inRow(f.formLayout_2, 1, Field, totalField(f.groupBox_4, "montantFrais"));
    f.label_10 = inRow(f.formLayout_2, 2, Label, named<QLabel>(f.groupBox_4, "label_10"));
    f.sommeNoirs = inRow(f.formLayout_2, 2, Field, totalField(f.groupBox_4, "sommeNoirs"));
    f.label_11 = inRow(f.formLayout_2, 3, Label, named<QLabel>(f.groupBox_4, "label_11"));
    f.sommePrix = inRow(f.formLayout_2, 3, Field, totalField(f.groupBox_4, "sommePrix"));
}

void buildCalculationPage(MainWindowForm &f)
{
    f.tab = new QWidget();
    f.tab->setObjectName(QStringLiteral("tab"));
    f.verticalLayout_2 = installedLayout<QVBoxLayout>(f.tab, "verticalLayout_2");

    f.horizontalLayout_8 = nestedRow("horizontalLayout_8");
    f.horizontalSpacer = newHorizontalSpacer();
    f.horizontalLayout_8->addItem(f.horizontalSpacer);
    f.label = named<QLabel>(f.tab, "label");
    setPolicy(f.label, QSizePolicy::Preferred, QSizePolicy::Fixed);
    setPointSize(f.label, 20);
    f.label->setAlignment(Qt::AlignCenter);
    f.horizontalLayout_8->addWidget(f.label);
    f.comboBox = named<QComboBox>(f.tab, "comboBox");
    setPolicy(f.comboBox, QSizePolicy::Fixed, QSizePolicy::Fixed);
    f.comboBox->setMinimumSize(QSize(240, 40));
    f.comboBox->setFont(f.label->font());
    f.comboBox->setStyleSheet(QStringLiteral("border: 0px solid gray;\n"
                                             "border-radius: 0px;\n"
                                             "padding: 1px 18px 1px 3px;"));
    f.comboBox->setIconSize(QSize(32, 32));
    f.horizontalLayout_8->addWidget(f.comboBox);
    f.verticalLayout_2->addLayout(f.horizontalLayout_8);

    f.horizontalLayout_2 = nestedRow("horizontalLayout_2");
    buildCountsBox(f);
    f.horizontalLayout_2->addWidget(f.groupBox_6);
    buildTotalsBox(f);
    f.horizontalLayout_2->addWidget(f.groupBox_4);
    f.verticalLayout_2->addLayout(f.horizontalLayout_2);

    f.horizontalLayout_6 = nestedRow("horizontalLayout_6");
    f.horizontalSpacer_2 = newHorizontalSpacer();
    f.horizontalLayout_6->addItem(f.horizontalSpacer_2);
    f.commandLinkButton = commandButton(f.tab, "commandLinkButton", ":/roue.png");
    f.horizontalLayout_6->addWidget(f.commandLinkButton);
    f.horizontalSpacer_3 = newHorizontalSpacer();
    f.horizontalLayout_6->addItem(f.horizontalSpacer_3);
    f.commandLinkButton_3 = commandButton(f.tab, "commandLinkButton_3", ":/printer.png");
    f.horizontalLayout_6->addWidget(f.commandLinkButton_3);
    f.horizontalSpacer_4 = newHorizontalSpacer();
    f.horizontalLayout_6->addItem(f.horizontalSpacer_4);
    f.verticalLayout_2->addLayout(f.horizontalLayout_6);

    f.horizontalLayout = nestedRow("horizontalLayout");
    f.groupBox_2 = named<QGroupBox>(f.tab, "groupBox_2");
    f.horizontalLayout_4 = installedLayout<QHBoxLayout>(f.groupBox_2, "horizontalLayout_4");
    f.TextGain = named<QPlainTextEdit>(f.groupBox_2, "TextGain");
    setPointSize(f.TextGain, 12);
    // Tab moves on, as in every other field; a tab in a name is no use.
    f.TextGain->setTabChangesFocus(true);
    f.horizontalLayout_4->addWidget(f.TextGain);
    f.blason = named<QLabel>(f.groupBox_2, "blason");
    setPolicy(f.blason, QSizePolicy::Fixed, QSizePolicy::Fixed);
    f.blason->setMinimumSize(QSize(220, 300));
    f.blason->setPixmap(QPixmap(QStringLiteral(":/blason.png")));
    f.blason->setScaledContents(false);
    f.horizontalLayout_4->addWidget(f.blason);
    f.horizontalLayout->addWidget(f.groupBox_2);
    f.verticalLayout_2->addLayout(f.horizontalLayout);
}

void buildGeneralBox(MainWindowForm &f)
{
    f.groupBox = named<QGroupBox>(f.tab_2, "groupBox");
    f.formLayout = installedLayout<QFormLayout>(f.groupBox, "formLayout");
    f.label_2 = inRow(f.formLayout, 0, Label, named<QLabel>(f.groupBox, "label_2"));
    f.tarifMise = inRow(f.formLayout, 0, Field, priceBox(f.groupBox, "tarifMise", 3.5));
    f.label_3 = inRow(f.formLayout, 1, Label, named<QLabel>(f.groupBox, "label_3"));
    f.tarifNoir = inRow(f.formLayout, 1, Field, priceBox(f.groupBox, "tarifNoir", 0.5));
    f.label_4 = inRow(f.formLayout, 2, Label, named<QLabel>(f.groupBox, "label_4"));
    f.gainMini = inRow(f.formLayout, 2, Field, countBox(f.groupBox, "gainMini", 99, 3));
    f.label_5 = inRow(f.formLayout, 3, Label, named<QLabel>(f.groupBox, "label_5"));
    f.pourcentFrais = inRow(f.formLayout, 3, Field, countBox(f.groupBox, "pourcentFrais", 99, 20));
    f.label_8 = inRow(f.formLayout, 4, Label, named<QLabel>(f.groupBox, "label_8"));
    // Both left unchecked: the settings file picks one, else 1 € applies.
    // Each radio button speaks its own text, so the row needs no buddy.
    f.horizontalLayout_7 = nestedRow("horizontalLayout_7");
    f.unEuro = named<QRadioButton>(f.groupBox, "unEuro");
    f.horizontalLayout_7->addWidget(f.unEuro);
    f.cinqEuro = named<QRadioButton>(f.groupBox, "cinqEuro");
    f.horizontalLayout_7->addWidget(f.cinqEuro);
    f.formLayout->setLayout(4, Field, f.horizontalLayout_7);
}

void buildPrizesBox(MainWindowForm &f)
{
    f.groupBox_5 = named<QGroupBox>(f.tab_2, "groupBox_5");
    f.groupBox_5->setFlat(false);
    f.formLayout_3 = installedLayout<QFormLayout>(f.groupBox_5, "formLayout_3");
    f.label_12 = inRow(f.formLayout_3, 0, Label, named<QLabel>(f.groupBox_5, "label_12"));
    f.nbPrix = inRow(f.formLayout_3, 0, Field, countBox(f.groupBox_5, "nbPrix", 5, 1));
    f.nbPrix->setMinimum(1);
    f.label_13 = inRow(f.formLayout_3, 1, Label, named<QLabel>(f.groupBox_5, "label_13"));
    f.horizontalLayout_3 = nestedRow("horizontalLayout_3");
    f.radioPourcent = named<QRadioButton>(f.groupBox_5, "radioPourcent");
    f.radioPourcent->setChecked(true);
    f.horizontalLayout_3->addWidget(f.radioPourcent);
    f.radioFixe = named<QRadioButton>(f.groupBox_5, "radioFixe");
    f.horizontalLayout_3->addWidget(f.radioFixe);
    f.formLayout_3->setLayout(1, Field, f.horizontalLayout_3);

    // Prize n sits in row n + 1, label and value together, so that a row
    // can be hidden as one. The designer created labels 2 to 5 before
    // their values, and the form keeps that order.
    f.labelPrix1 = inRow(f.formLayout_3, 2, Label, named<QLabel>(f.groupBox_5, "labelPrix1"));
    f.valeurPrix1 = inRow(f.formLayout_3, 2, Field, countBox(f.groupBox_5, "valeurPrix1", 9999));
    f.labelPrix2 = inRow(f.formLayout_3, 3, Label, named<QLabel>(f.groupBox_5, "labelPrix2"));
    f.labelPrix3 = inRow(f.formLayout_3, 4, Label, named<QLabel>(f.groupBox_5, "labelPrix3"));
    f.labelPrix4 = inRow(f.formLayout_3, 5, Label, named<QLabel>(f.groupBox_5, "labelPrix4"));
    f.labelPrix5 = inRow(f.formLayout_3, 6, Label, named<QLabel>(f.groupBox_5, "labelPrix5"));
    // The second prize allows ten times the others; saved files may use it.
    f.valeurPrix2 = inRow(f.formLayout_3, 3, Field, countBox(f.groupBox_5, "valeurPrix2", 99999));
    f.valeurPrix3 = inRow(f.formLayout_3, 4, Field, countBox(f.groupBox_5, "valeurPrix3", 9999));
    f.valeurPrix4 = inRow(f.formLayout_3, 5, Field, countBox(f.groupBox_5, "valeurPrix4", 9999));
    f.valeurPrix5 = inRow(f.formLayout_3, 6, Field, countBox(f.groupBox_5, "valeurPrix5", 9999));
}

void buildMiscBox(MainWindowForm &f)
{
    f.groupBox_3 = named<QGroupBox>(f.tab_2, "groupBox_3");
    f.gridLayout = installedLayout<QGridLayout>(f.groupBox_3, "gridLayout");
    f.label_7 = named<QLabel>(f.groupBox_3, "label_7");
    f.gridLayout->addWidget(f.label_7, 1, 0, 1, 1);
    f.blasonPrint = named<QLineEdit>(f.groupBox_3, "blasonPrint");
    f.gridLayout->addWidget(f.blasonPrint, 1, 1, 1, 1);
    f.label_7->setBuddy(f.blasonPrint); // a grid, not a form row: the one buddy set by hand
    f.pushButton = named<QPushButton>(f.groupBox_3, "pushButton");
    setPolicy(f.pushButton, QSizePolicy::Fixed, QSizePolicy::Fixed);
    f.pushButton->setMinimumSize(QSize(30, 0));
    f.pushButton->setAutoDefault(true);
    f.gridLayout->addWidget(f.pushButton, 1, 2, 1, 1);
    f.labelNomClub = named<QLabel>(f.groupBox_3, "labelNomClub");
    f.gridLayout->addWidget(f.labelNomClub, 2, 0, 1, 1);
    f.nomClub = named<QLineEdit>(f.groupBox_3, "nomClub");
    f.nomClub->setMaxLength(200);
    f.gridLayout->addWidget(f.nomClub, 2, 1, 1, 2);
    f.labelNomClub->setBuddy(f.nomClub);
}

void buildSettingsPage(MainWindowForm &f)
{
    f.tab_2 = new QWidget();
    f.tab_2->setObjectName(QStringLiteral("tab_2"));
    f.verticalLayout_3 = installedLayout<QVBoxLayout>(f.tab_2, "verticalLayout_3");

    buildGeneralBox(f);
    f.verticalLayout_3->addWidget(f.groupBox);
    buildPrizesBox(f);
    f.verticalLayout_3->addWidget(f.groupBox_5);
    buildMiscBox(f);
    f.verticalLayout_3->addWidget(f.groupBox_3);

    f.horizontalLayout_5 = nestedRow("horizontalLayout_5");
    f.horizontalSpacer_5 = newHorizontalSpacer();
    f.horizontalLayout_5->addItem(f.horizontalSpacer_5);
    f.commandLinkButton_2 = commandButton(f.tab_2, "commandLinkButton_2", ":/disquette.png");
    setPolicy(f.commandLinkButton_2, QSizePolicy::Preferred, QSizePolicy::Maximum);
    f.horizontalLayout_5->addWidget(f.commandLinkButton_2);
    f.horizontalSpacer_6 = newHorizontalSpacer();
    f.horizontalLayout_5->addItem(f.horizontalSpacer_6);
    f.verticalLayout_3->addLayout(f.horizontalLayout_5);

    f.verticalSpacer = new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding);
    f.verticalLayout_3->addItem(f.verticalSpacer);
}

} // namespace

void MainWindowForm::setupForm(QMainWindow *window)
{
    if (window->objectName().isEmpty())
        window->setObjectName(QStringLiteral("MainWindow"));
    window->resize(675, 653);
    setPolicy(window, QSizePolicy::Maximum, QSizePolicy::Preferred);
    window->setMinimumSize(QSize(675, 0));
    window->setMaximumSize(QSize(675, QWIDGETSIZE_MAX));
    // ":/blason.gif" is not among the embedded images. An icon without a
    // picture would still hide the application's own, leaving the window
    // with none at all, so only an icon that holds a picture is set.
    const QIcon icon(QStringLiteral(":/blason.gif"));
    if (!icon.availableSizes().isEmpty())
        window->setWindowIcon(icon);
    window->setAutoFillBackground(false);
    window->setIconSize(QSize(24, 24));

    centralWidget = named<QWidget>(window, "centralWidget");
    verticalLayout = installedLayout<QVBoxLayout>(centralWidget, "verticalLayout");
    tabWidget = named<QTabWidget>(centralWidget, "tabWidget");
    tabWidget->setTabPosition(QTabWidget::South);

    buildCalculationPage(*this);
    tabWidget->addTab(tab, QString());
    buildSettingsPage(*this);
    tabWidget->addTab(tab_2, QString());
    journee = named<QWidget>(nullptr, "journee");
    tabWidget->addTab(journee, QString());

    verticalLayout->addWidget(tabWidget);
    window->setCentralWidget(centralWidget);

    // The chain is a ring (comboBox, ..., sommePrix, tabWidget, sommeEncaisse,
    // ..., montantFrais, comboBox), linked here from tabWidget on so that
    // tabWidget is never the second of a pair: setTabOrder moves the second
    // with the widgets it takes for its own, and from Qt 6.8 on these are, for
    // the tab widget, all the page widgets after its tab bar up to the first.
    QWidget *const focusOrder[] = {
        tabWidget, sommeEncaisse, TextGain,
        tarifMise, tarifNoir, gainMini, pourcentFrais, unEuro, cinqEuro,
        nbPrix, radioPourcent, radioFixe, valeurPrix1, valeurPrix2,
        valeurPrix3, valeurPrix4, valeurPrix5, blasonPrint, pushButton, nomClub,
        commandLinkButton_2, montantFrais,
        comboBox, nbMises, nbNoirsPayes, commandLinkButton, commandLinkButton_3,
        sommeNoirs, sommePrix,
    };
    for (std::size_t i = 1; i < std::size(focusOrder); ++i)
        QWidget::setTabOrder(focusOrder[i - 1], focusOrder[i]);
    // The day starts with its category. Left to Qt, the first focus is
    // whichever widget its chain holds first, which adding a page changes.
    comboBox->setFocus();

    applyTexts(window);
    tabWidget->setCurrentIndex(0);
    QMetaObject::connectSlotsByName(window);
}

void MainWindowForm::applyTexts(QMainWindow *window)
{
    window->setWindowTitle(tr("Calcul Prix généraux"));
    window->setWhatsThis(tr("<html><head/><body><p><br/></p></body></html>"));
    label->setText(tr("Prix général"));
    comboBox->clear();
    comboBox->insertItems(0, {tr("arc classique"), tr("arc poulie"), tr("arc droit")});
    groupBox_6->setTitle(tr("Fréquentation"));
    label_19->setText(tr("Nombre de mises"));
    label_20->setText(tr("Nombre de noirs remboursés"));
    nbNoirsPayes->setWhatsThis(tr("<html><head/><body><p>Saisir le nombre de noirs payés aux archers</p></body></html>"));
    nbMises->setWhatsThis(tr("<html><head/><body><p>Saisir le nombre de mises encaissées</p></body></html>"));
    groupBox_4->setTitle(tr("Bilan"));
    label_6->setText(tr("Somme totale encaissée"));
    label_9->setText(tr("Montant des frais"));
    label_10->setText(tr("Somme des Noirs Payés"));
    label_11->setText(tr("Somme des prix distribués"));
    commandLinkButton->setWhatsThis(tr("<html><head/><body><p>Calculer le montant des prix dû aux archers</p></body></html>"));
    commandLinkButton->setText(tr("Calculer"));
    commandLinkButton_3->setWhatsThis(tr("<html><head/><body><p>Imprimer en PDF le résultat du calcul</p></body></html>"));
    commandLinkButton_3->setText(tr("Imprimer"));
    groupBox_2->setTitle(tr("Gain"));
    blason->setWhatsThis(tr("<html><head/><body><p>Développé par Jovenard</p>"
                            "<p>Compagnie d'arc de CASTELBRUNE</p>"
                            "<p><img src=\":/blasonCIE.png\" height=\"200\"/></p></body></html>"));
    // Wipes nothing: the text is already empty and QLabel ignores an
    // unchanged text, so the crest picture set by setupForm stays.
    blason->setText(QString());
    tabWidget->setTabText(tabWidget->indexOf(tab), tr("Calcul"));

    groupBox->setTitle(tr("Général"));
    label_2->setText(tr("Tarif de la mise"));
    tarifMise->setSuffix(tr(" €"));
    label_3->setText(tr("Tarif des noirs"));
    tarifNoir->setSuffix(tr(" €"));
    label_4->setText(tr("Gain Minimum"));
    gainMini->setSuffix(tr(" €"));
    label_5->setText(tr("Pourcentage de frais"));
    pourcentFrais->setSuffix(tr(" %"));
    label_8->setText(tr("Arrondir les sommes à"));
    unEuro->setText(tr("1 €"));
    cinqEuro->setText(tr("5€"));
    groupBox_5->setTitle(tr("Prix"));
    label_12->setText(tr("Nombre de prix"));
    label_13->setText(tr("Type de gain"));
    radioPourcent->setText(tr("Pourcentage"));
    radioFixe->setText(tr("Fixe"));
    labelPrix1->setText(tr("1er prix"));
    labelPrix2->setText(tr("2ème prix"));
    labelPrix3->setText(tr("3ème prix"));
    labelPrix4->setText(tr("4ème prix"));
    labelPrix5->setText(tr("5ème prix"));
    groupBox_3->setTitle(tr("Divers"));
    label_7->setText(tr("Blason à utiliser pour l'impression "));
    pushButton->setWhatsThis(tr("Parcourir le disque dur pour trouver l'image souhaiter"));
    pushButton->setText(tr("..."));
    labelNomClub->setText(tr("Nom du club"));
    nomClub->setWhatsThis(tr("<html><head/><body><p>Le nom du club, en tête des bilans de la journée et de la "
                             "saison</p></body></html>"));
    commandLinkButton_2->setText(tr("Sauvegarder"));
    tabWidget->setTabText(tabWidget->indexOf(tab_2), tr("Configuration"));
    tabWidget->setTabText(tabWidget->indexOf(journee), tr("Journée"));
}
