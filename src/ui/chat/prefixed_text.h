#pragma once

#include <QObject>
#include <QQmlEngine>
#include <QString>

// A prefix and a text joined in C++ ("Agent: " and the reply, for a screen
// reader): joined in a JavaScript binding, a long reply would be copied into
// the script engine on every piece that streams in.
class PrefixedText : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString prefix READ prefix WRITE setPrefix NOTIFY joinedChanged)
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY joinedChanged)
    // Off: the prefix alone (a tool record's name says no text).
    Q_PROPERTY(bool textShown READ textShown WRITE setTextShown NOTIFY joinedChanged)
    Q_PROPERTY(QString joined READ joined NOTIFY joinedChanged)

public:
    using QObject::QObject;

    QString prefix() const { return m_prefix; }
    void setPrefix(const QString& prefix);
    QString text() const { return m_text; }
    void setText(const QString& text);
    bool textShown() const { return m_textShown; }
    void setTextShown(bool shown);
    QString joined() const { return m_textShown ? m_prefix + m_text : m_prefix; }

Q_SIGNALS:
    void joinedChanged();

private:
    QString m_prefix;
    QString m_text;
    bool m_textShown = true;
};
