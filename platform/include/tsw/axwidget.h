// A container widget for controls named by class identifier or program id, with the calls of the
// ActiveX container that the library uses. It hosts one control: the WebBrowser control
// ("{8856F961-340A-11D0-A96B-00C04FD705A2}", "Shell.Explorer.2"), shown with Qt WebEngine, which is
// loaded when a container first hosts the control (the back-end "TsWebBrowser", tsw/backend.h).
#pragma once
#include "tsaxcontainer_export.h"

#include <QVariant>
#include <QWidget>

namespace tsax {
class AxControl;
}

class TSAXCONTAINER_API QAxWidget : public QWidget
{
    Q_OBJECT
public:
    explicit QAxWidget(QWidget *parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    // Creates the control at once (see setControl).
    explicit QAxWidget(const QString &control, QWidget *parent = nullptr,
                       Qt::WindowFlags flags = Qt::WindowFlags());
    ~QAxWidget() override;

    // Replaces the hosted control by the one that `control` names (class identifier in braces, any
    // letter case, or program id). Returns false, leaving the container empty, for a control it
    // does not know or cannot create (its back-end cannot be loaded); an empty name only clears it.
    bool setControl(const QString &control);
    QString control() const;
    void clear();
    bool isNull() const;

    // Calls a method of the control by its signature, "Navigate(const QString&)" or by name alone
    // ("Navigate"). The WebBrowser control offers Navigate(url) and Navigate2(url), GoBack(),
    // GoForward(), GoHome(), Refresh() and Stop(). Navigate takes what the WebBrowser control takes: a
    // web address, a bare host name ("example.com") or a local path, in which a backslash separates
    // folders. Returns an invalid QVariant, after a warning, when there is no control or no such
    // method; a method without a result returns an invalid QVariant too. A property name alone reads
    // the property: "LocationURL" (the address shown), "LocationName" (the page title), "Busy".
    QVariant dynamicCall(const char *function, const QVariant &var1 = QVariant(),
                         const QVariant &var2 = QVariant(), const QVariant &var3 = QVariant(),
                         const QVariant &var4 = QVariant(), const QVariant &var5 = QVariant(),
                         const QVariant &var6 = QVariant(), const QVariant &var7 = QVariant(),
                         const QVariant &var8 = QVariant());

    QSize sizeHint() const override;

signals:
    // Emitted when a page has been loaded (the control's DocumentComplete), with its address.
    void documentComplete(const QString &url);

private:
    tsax::AxControl *m_view = nullptr;
    QString m_control;
};
