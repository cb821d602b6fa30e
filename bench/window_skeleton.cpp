#include "window_skeleton.h"

#include <QDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace veltrix::bench {

namespace {

// The main window's smallest size and its pictures' sizes.
constexpr QSize kWindowSize{860, 600};
constexpr QSize kLogoSize{200, 75};
constexpr QSize kPictureSize{188, 171};

QLabel* Picture(QWidget* parent, QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::gray);
    auto* label = new QLabel(parent);
    label->setPixmap(QPixmap::fromImage(image));
    return label;
}

QTreeWidget* List(QWidget* parent, int columns, int rows) {
    auto* list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setColumnCount(columns);
    for (int row = 0; row < rows; ++row) {
        new QTreeWidgetItem(list, QStringList(columns, QStringLiteral("cell")));
    }
    return list;
}

QFormLayout* Form(QWidget* parent, int rows, bool selectable) {
    auto* form = new QFormLayout;
    for (int row = 0; row < rows; ++row) {
        auto* value = new QLabel(QStringLiteral("-"), parent);
        if (selectable) {
            value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        }
        form->addRow(QStringLiteral("Caption:"), value);
    }
    return form;
}

}  // namespace

void BuildWindowSkeleton(QDialog& dialog) {
    QWidget* w = &dialog;
    auto* bar = new QMenuBar(w);
    for (const char* title : {"&File", "&Settings", "&Help"}) {
        QMenu* menu = bar->addMenu(QString::fromLatin1(title));
        for (int item = 0; item < 5; ++item) {
            menu->addAction(QStringLiteral("Item"));
        }
    }

    auto* connection = new QHBoxLayout;
    connection->addWidget(new QLabel(QStringLiteral("Host:"), w));
    connection->addWidget(new QLineEdit(w));
    connection->addWidget(new QLabel(QStringLiteral("Password:"), w));
    connection->addWidget(new QLineEdit(w));
    for (const char* text : {"Connect", "Disconnect", "End"}) {
        connection->addWidget(new QPushButton(QString::fromLatin1(text), w));
    }
    auto* hiddenList = new QListView(w);
    hiddenList->hide();
    connection->addWidget(hiddenList);
    connection->addStretch(1);
    connection->addWidget(Picture(w, kLogoSize), 0, Qt::AlignTop);

    auto* tabs = new QTabBar(w);
    tabs->setExpanding(false);
    tabs->addTab(QStringLiteral("Controller 0"));
    tabs->addTab(QStringLiteral("Controller 1"));

    auto* lists = new QVBoxLayout;
    lists->addWidget(List(w, 4, 4), 1);
    lists->addWidget(List(w, 6, 2), 1);
    auto* page = new QHBoxLayout;
    page->addLayout(Form(w, 6, false));
    page->addLayout(lists, 1);

    auto* info = new QGroupBox(QStringLiteral("Info"), w);
    info->setLayout(Form(info, 7, true));
    auto* rebuild = new QGridLayout;
    auto* progress = new QProgressBar(w);
    auto* priority = new QSlider(Qt::Horizontal, w);
    progress->hide();
    priority->hide();
    rebuild->addWidget(progress, 0, 0);
    rebuild->addWidget(priority, 1, 0);
    auto* lower = new QHBoxLayout;
    lower->addWidget(Picture(w, kPictureSize), 0, Qt::AlignTop);
    lower->addWidget(info, 1);
    lower->addLayout(rebuild, 1);

    auto* layout = new QVBoxLayout(w);
    layout->setMenuBar(bar);
    layout->addLayout(connection);
    layout->addWidget(tabs);
    layout->addLayout(page, 1);
    layout->addLayout(lower);
    dialog.resize(dialog.sizeHint().expandedTo(kWindowSize));
}

}  // namespace veltrix::bench
