#include "document/AtomicSaveFile.h"

#include "document/GenealogyDocument.h"

namespace {
constexpr std::size_t kHeldBytes = 1 << 20;
}  // namespace

AtomicSaveFile::AtomicSaveFile(const QString& fileName, QObject* parent)
    : QIODevice(parent), m_fileName(fileName) {}

AtomicSaveFile::~AtomicSaveFile() = default;  // the writer removes its temporary file

bool AtomicSaveFile::open(OpenMode mode) {
  if (isOpen() || (mode & ~(QIODevice::Unbuffered | QIODevice::Truncate)) != QIODevice::WriteOnly)
    return false;
  m_problem = FileProblem::kNone;
  m_held.clear();
  if (!m_writer.Open(FilePathOf(m_fileName))) {
    m_problem = m_writer.Problem();
    setErrorString(WriteProblemReason(m_problem));
    return false;
  }
  return QIODevice::open(mode | QIODevice::Unbuffered);
}

bool AtomicSaveFile::Flush() {
  if (m_held.empty()) return true;
  const bool written = m_writer.Write(m_held);
  m_held.clear();
  if (!written) {
    m_problem = m_writer.Problem();
    setErrorString(WriteProblemReason(m_problem));
  }
  return written;
}

bool AtomicSaveFile::commit() {
  if (!isOpen()) return false;
  const bool done = m_problem == FileProblem::kNone && Flush() && m_writer.Commit();
  if (!done && m_problem == FileProblem::kNone) {
    m_problem =
        m_writer.Problem() == FileProblem::kNone ? FileProblem::kWriteFailed : m_writer.Problem();
    setErrorString(WriteProblemReason(m_problem));
  }
  QIODevice::close();
  return done;
}

qint64 AtomicSaveFile::readData(char* /*data*/, qint64 /*maxSize*/) {
  return -1;
}

qint64 AtomicSaveFile::writeData(const char* data, qint64 size) {
  if (m_problem != FileProblem::kNone) return -1;
  m_held.append(data, static_cast<std::size_t>(size));
  if (m_held.size() >= kHeldBytes && !Flush()) return -1;
  return size;
}

QString WriteProblemReason(FileProblem problem) {
  switch (problem) {
    case FileProblem::kTargetIsFolder:
      return AtomicSaveFile::tr("它是一个文件夹");
    case FileProblem::kTargetNotRegular:
      return AtomicSaveFile::tr("它不是普通文件（而是设备、管道或套接字）");
    case FileProblem::kNoSuchFolder:
      return AtomicSaveFile::tr("它所在的文件夹不存在");
    case FileProblem::kReadOnlyMount:
      return AtomicSaveFile::tr("它所在的磁盘是只读的");
    case FileProblem::kTargetNotWritable:
      return AtomicSaveFile::tr("没有写入该文件或其文件夹的权限");
    case FileProblem::kOwnerNotKept:
      return AtomicSaveFile::tr("该文件属于其他用户，请另存为自己的文件");
    case FileProblem::kTargetIsInput:
      return AtomicSaveFile::tr("它是本次要读取的文件");
    case FileProblem::kNoMemory:
      return AtomicSaveFile::tr("内存不足");
    case FileProblem::kArchiveTooLarge:
      return AtomicSaveFile::tr("GEDCOM 文本超过 4 GiB，压缩包装不下");
    default:
      return AtomicSaveFile::tr("磁盘已满或写入出错");
  }
}

bool OutputIsInput(const QString& output, const QStringList& inputs) {
  if (output.isEmpty()) return false;
  const std::filesystem::path out = FilePathOf(output);
  for (const QString& input : inputs)
    if (!input.isEmpty() && OutputIsInput(out, {FilePathOf(input)})) return true;
  return false;
}

QString OutputIsBookText(const QString& fileName) {
  return AtomicSaveFile::tr("%1 是正在编辑的家谱文件，导出的内容不能保存到它里面!").arg(fileName);
}
