// An embedded web browser.
#pragma once

#include "foundation/tsuikitglobal.h"
#include "tswinhelp.h"

/**
 * @class CHtmlAxWidget htmlaxwidget.h "help/htmlaxwidget.h"
 * A frameless container, without margins, hosting the WebBrowser control
 * ("{8856F961-340A-11D0-A96B-00C04FD705A2}"), created at once. Navigate it through the container's
 * dynamic calls, e.g. dynamicCall("Navigate(const QString&)", address), or with HtmlPageUpdate().
 * When the control cannot be created the widget stays empty and navigation does nothing.
 */
class TSUIKIT_EXPORT CHtmlAxWidget : public QAxWidget
{
    Q_OBJECT

public:
    explicit CHtmlAxWidget(QWidget *parent = nullptr);
    ~CHtmlAxWidget() override;
};
