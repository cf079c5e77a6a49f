// The Index tab of the help viewer: a field that narrows the keyword list as the user types, the
// list, and Display; a keyword with several pages offers them in "Topics Found".
#pragma once
#include "sitemap.h"

#include <QWidget>

class QLineEdit;
class QListView;
class QModelIndex;
class QPushButton;

namespace tshelp {

class IndexModel;

class IndexPane : public QWidget
{
    Q_OBJECT
public:
    explicit IndexPane(QWidget *parent = nullptr);
    ~IndexPane() override;

    // Shows these keywords (replacing any shown before), narrowed by the text already typed.
    void setEntries(QVector<SitemapEntry> entries);
    bool hasEntries() const { return m_loaded; }

    // The field ("HelpIndexFilter"), the list ("HelpIndexList") and its model.
    QLineEdit *filterField() const { return m_filter; }
    QListView *view() const { return m_view; }
    IndexModel *model() const { return m_model; }

signals:
    // The user chose a page of a keyword: its "Local".
    void topicActivated(const QString &local);

private:
    void narrow(const QString &text);
    void openRow(const QModelIndex &index);
    void chooseTopic(const QString &keyword, const QVector<SitemapTarget> &targets);

    QLineEdit *m_filter = nullptr;
    QListView *m_view = nullptr;
    QPushButton *m_display = nullptr;
    IndexModel *m_model = nullptr;
    bool m_loaded = false;
};

} // namespace tshelp
