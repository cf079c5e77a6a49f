// A control hosted by QAxWidget, made by a back-end library on first use: the WebBrowser control
// lives in the back-end "TsWebBrowser" over the web engine, so that the container itself needs none.
#pragma once
#include <QByteArray>
#include <QVariant>

#include <functional>

class QWidget;

namespace tsax {

class AxControl
{
public:
    virtual ~AxControl() = default;
    // The control's widget, a child of the container; deleting it deletes the control.
    virtual QWidget *widget() = 0;
    // Calls the method or reads the property `name` with the one argument that every method of the
    // control takes at most. False when the control has no such method or property.
    virtual bool call(const QByteArray &name, const QVariant &argument, QVariant *result) = 0;
};

// The WebBrowser back-end's entry point: makes the control as a child of `parent`; `loaded` is
// called with the address of every page that has finished loading.
inline constexpr char kWebBrowserBackEnd[] = "TsWebBrowser";
inline constexpr char kCreateWebBrowser[] = "TswCreateWebBrowser";
using CreateWebBrowserFn = AxControl *(*)(QWidget *parent,
                                          std::function<void(const QString &url)> loaded);

} // namespace tsax
