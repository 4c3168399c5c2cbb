#include "windows/form2.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "windows/fonts.h"

namespace {

constexpr int kClientWidth = 405;
constexpr int kClientHeight = 217;
constexpr QPoint kFirstPosition(385, 271);

}  // namespace

TForm2::TForm2(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("About"));
    setFont(morvik::UiFont());
    setFixedSize(kClientWidth, kClientHeight);
    setSizeGripEnabled(false);
    // Placed once; being hidden rather than destroyed, the window keeps wherever the user left it.
    move(kFirstPosition);

    AddLabel("Label1", 16, 16, QStringLiteral("Morvik (ver. 0.2)"), true);
    AddLabel("Label3", 16, 32,
             QStringLiteral("Principal component analysis for dimensionality reduction in 2D"),
             false);
    AddLabel("Label2", 16, 48, QStringLiteral("Educational tool"), false);
    AddLabel("Label7", 16, 72, QStringLiteral("Authors:"), true);
    AddLabel("Label4", 16, 88, QStringLiteral("Morvik developers, Morvik contributors"), false);
    AddLabel("Label5", 16, 112, QStringLiteral("Methodology (with some changes):"), true);
    AddLabel("Label8", 16, 128,
             QStringLiteral("L. I. Smith, A tutorial on Principal Components Analysis, 2002"),
             false);
    AddLabel("Label6", 16, 144,
             QStringLiteral(
                 "http://www.cs.otago.ac.nz/cosc453/student_tutorials/principal_components.pdf"),
             false);

    btnOk = new QPushButton(QStringLiteral("OK"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setGeometry(168, 176, 75, 25);
    // Neither default nor cancel button: only a focused OK reacts to Enter and Space.
    btnOk->setAutoDefault(false);
    btnOk->setDefault(false);
    btnOk->setFocusPolicy(Qt::StrongFocus);
    connect(btnOk, &QPushButton::clicked, this, &TForm2::btnOkClick);
}

QLabel* TForm2::AddLabel(const char* name, int left, int top, const QString& text, bool bold) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    label->setFocusPolicy(Qt::NoFocus);
    if (bold) label->setFont(morvik::UiBoldFont());
    label->move(left, top);
    label->adjustSize();
    return label;
}

void TForm2::btnOkClick() {
    close();
}

void TForm2::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            // There is no cancel button, so Escape does nothing.
            event->accept();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // A focused button takes Enter as a click, as Space does.
            if (focusWidget() == btnOk) btnOk->click();
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

void TForm2::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    btnOk->setFocus(Qt::OtherFocusReason);
}
