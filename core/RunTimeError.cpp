#include "core/RunTimeError.h"

RunTimeError::RunTimeError(int number, QString description)
    : m_number(number), m_description(std::move(description)),
      m_what(QStringLiteral("Error %1: %2").arg(number).arg(m_description).toStdString())
{
}

QString RunTimeError::standardDescription(int number)
{
    switch (number) {
    case Err::InvalidCall: return QStringLiteral("Invalid procedure call or argument");
    case Err::Overflow: return QStringLiteral("Overflow");
    case Err::SubscriptOutOfRange: return QStringLiteral("Subscript out of range");
    case Err::TypeMismatch: return QStringLiteral("Type mismatch");
    case Err::FileAccess: return QStringLiteral("Path/File access error");
    case Err::InvalidUseOfNull: return QStringLiteral("Invalid use of Null");
    default: return QStringLiteral("Application-defined or object-defined error");
    }
}
