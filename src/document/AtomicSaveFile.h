// The program's one writer (formats/io/AtomicFile.h) as a QIODevice, for Qt's own
// writers (PDF, SVG, PNG): the same refusals of targets that are no regular
// file, belong to someone else or are one of the command's inputs, the same
// unnamed temporary file, the same rename into place.
#pragma once

#include "formats/io/AtomicFile.h"

#include <QIODevice>
#include <QString>
#include <QStringList>

#include <string>

class AtomicSaveFile : public QIODevice {
  Q_OBJECT
public:
  explicit AtomicSaveFile(const QString& fileName, QObject* parent = nullptr);
  ~AtomicSaveFile() override;

  // Only QIODevice::WriteOnly.
  bool open(OpenMode mode) override;
  bool isSequential() const override { return true; }
  // Writes what is held and puts the file in the target's place; the device
  // is closed either way. Without commit nothing of the target changes.
  bool commit();
  // Why open, a write or commit failed.
  FileProblem problem() const { return m_problem; }

protected:
  qint64 readData(char* data, qint64 maxSize) override;
  qint64 writeData(const char* data, qint64 size) override;

private:
  bool Flush();

  QString m_fileName;
  AtomicFileWriter m_writer;
  std::string m_held;  // Qt's writers hand over a few bytes at a time
  FileProblem m_problem = FileProblem::kNone;
};

// Why a write failed, in the user's language: "它是一个文件夹".
QString WriteProblemReason(FileProblem problem);

// OutputIsInput on the names the interface holds; empty names are no files.
bool OutputIsInput(const QString& output, const QStringList& inputs);

// What the window says when an export would replace the open book's file.
QString OutputIsBookText(const QString& fileName);
