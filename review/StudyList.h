#pragma once

#include <QString>

class GameSession;
class QPagedPaintDevice;
class QTextDocument;

// The questions of a game that were answered wrong, each with its right answer, its reference and
// the passage, as a document to hand out: saved as a PDF or printed.
namespace StudyList {

// The document (its owner deletes it).
QTextDocument *Make(const GameSession &session);

// Writes the document as a PDF to path; false when the file cannot be written.
bool SavePdf(const GameSession &session, const QString &path);

// Lays the document out on a device's pages (a printer).
void Print(const GameSession &session, QPagedPaintDevice *device);
}
