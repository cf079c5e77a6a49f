// Pages that record the hooks asked of them and can refuse any of them.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "sheet/tspropertypage.h"
#include "sheet/tspropertysheet.h"
#include "tslang.h"
#include "tswin.h"

namespace sheettest {

// One log per test, shared by its pages, so the order of the calls across pages shows.
struct HookLog {
    QStringList calls;
};

class RecordingPage : public CTsPropertyPage
{
public:
    RecordingPage(const QString &name, HookLog *log) : CTsPropertyPage(nullptr), m_name(name), m_log(log)
    {
        setWindowTitle(name);
    }

    bool vetoQueryOK = false;
    bool vetoOK = false;
    bool vetoBack = false;
    bool vetoNext = false;
    bool vetoFinish = false;

    bool OnQueryOK() override { return record("QueryOK", vetoQueryOK); }
    bool OnOK() override { return record("OK", vetoOK); }
    bool OnWizardBack() override { return record("Back", vetoBack); }
    bool OnWizardNext() override { return record("Next", vetoNext); }
    bool OnWizardFinish() override { return record("Finish", vetoFinish); }

private:
    bool record(const char *hook, bool veto)
    {
        m_log->calls << m_name + QLatin1Char('.') + QLatin1String(hook);
        return !veto;
    }

    QString m_name;
    HookLog *m_log;
};

// Text `id` of the language module that the library chose (the same call, the same module).
inline QString ModuleText(UINT id)
{
    static const HINSTANCE module = LoadTsLang(GetUserDefaultLangID(), 0);
    WCHAR buffer[512];
    const int length = LoadStringW(module, id, buffer, 512);
    return QString::fromUtf16(buffer, length > 0 ? length : 0);
}

// Sets a page's header texts from Latin-1 literals.
inline void SetHeaderTexts(CTsPropertyPage *page, const char *title, const char *subtitle)
{
    const std::u16string t = QString::fromLatin1(title).toStdU16String();
    const std::u16string s = QString::fromLatin1(subtitle).toStdU16String();
    page->SetHeaderTitle(reinterpret_cast<const unsigned short *>(t.c_str()));
    page->SetHeaderSubTitle(reinterpret_cast<const unsigned short *>(s.c_str()));
}

} // namespace sheettest
