// The 照片 tab of the member window: pictures added, captioned, removed and
// shown scaled, each read from the book only while the tab is shown.
#include <QBuffer>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include "dialogs/MemberRecordWindow.h"
#include "dialogs/SpouseDialog.h"
#include "document/DateWords.h"
#include "document/GenealogyDocument.h"
#include "platform/CDialog.h"
#include "platform/MessageBoxes.h"
#include "platform/Shell.h"

namespace {

QString Text(const std::u16string& text) {
  return QString::fromStdU16String(text);
}

// The picture in `bytes` no larger than `side` on either side, asked of the
// decoder at that size (a JPEG is then decoded at a fraction of its own).
QImage DecodeScaled(const QByteArray& bytes, int side) {
  QBuffer buffer;
  buffer.setData(bytes);
  QImageReader reader(&buffer);
  QSize size = reader.size();
  if (size.isValid() && (size.width() > side || size.height() > side)) {
    size.scale(side, side, Qt::KeepAspectRatio);
    reader.setScaledSize(size);
  }
  return reader.read();
}

}  // namespace

void MemberRecordWindow::BuildPhotoTab(QTabWidget* tabs) {
  m_photoPage = new QWidget(tabs);
  auto* page = m_photoPage;
  auto* layout = new QHBoxLayout(page);
  auto* left = new QVBoxLayout;
  m_photos = new QListWidget(page);
  m_photos->setObjectName(QStringLiteral("photos"));
  m_photos->setAccessibleName(tr("照片"));
  m_photos->setViewMode(QListView::IconMode);
  m_photos->setIconSize({kThumbnailSide, kThumbnailSide});
  m_photos->setMovement(QListView::Static);
  m_photos->setResizeMode(QListView::Adjust);
  m_photos->setWordWrap(true);
  left->addWidget(m_photos, 1);
  m_addPhoto = AddButton(page, tr("增加照片…"), "addPhoto");
  m_removePhoto = AddButton(page, tr("删除照片"), "removePhoto");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_addPhoto);
  buttons->addWidget(m_removePhoto);
  buttons->addStretch();
  left->addLayout(buttons);
  m_photos->setMinimumWidth(kThumbnailSide * 3 / 2);
  layout->addLayout(left, 1);

  auto* right = new QVBoxLayout;
  m_photo = new QLabel(page);
  m_photo->setObjectName(QStringLiteral("photo"));
  m_photo->setAccessibleName(tr("照片"));
  m_photo->setAlignment(Qt::AlignCenter);
  m_photo->setMinimumSize(kShownPhotoSide, kShownPhotoSide * 3 / 4);
  right->addWidget(m_photo, 1);
  auto* captionForm = new QFormLayout;
  auto* captionLabel = new QLabel(tr("说明:"), page);
  m_caption = new QLineEdit(page);
  m_caption->setObjectName(QStringLiteral("photoCaption"));
  m_caption->setAccessibleName(captionLabel->text());
  captionLabel->setBuddy(m_caption);
  captionForm->addRow(captionLabel, m_caption);
  right->addLayout(captionForm);
  layout->addLayout(right, 0);

  connect(m_addPhoto, &QPushButton::clicked, this, &MemberRecordWindow::AddPhoto);
  connect(m_removePhoto, &QPushButton::clicked, this, &MemberRecordWindow::RemovePhoto);
  connect(m_caption, &QLineEdit::editingFinished, this, &MemberRecordWindow::CommitPhotoCaption);
  connect(m_photos, &QListWidget::currentRowChanged, this, [this] {
    if (!m_refreshing) ShowSelectedPhoto();
  });
  tabs->addTab(page, tr("照片"));
}

void MemberRecordWindow::RefreshPhotos() {
  // Reading pictures is for the 照片 tab alone: a member looked at on any
  // other tab costs no picture read from the book.
  if (!isVisible() || m_tabs->currentWidget() != m_photoPage) {
    if (m_photosStale) {
      m_refreshing = true;
      m_photos->clear();
      m_refreshing = false;
      m_shownPhoto = QPixmap();
      m_photo->clear();
    }
    return;
  }
  if (!m_photosStale) return;
  m_photosStale = false;
  m_refreshing = true;
  const int selected = std::max(0, m_photos->currentRow());
  m_photos->clear();
  const std::vector<Photo> none;
  const std::vector<Photo>& photos = m_member ? m_member->extra.Record().photos : none;
  for (std::size_t i = 0; i < photos.size(); ++i) {
    const QImage thumbnail = DecodeScaled(m_document.PhotoBytes(photos[i]), kThumbnailSide);
    ++m_picturesDecoded;
    QString caption = Text(photos[i].caption);
    if (i == 0) caption = tr("%1（肖像）").arg(caption).trimmed();
    m_photos->addItem(new QListWidgetItem(QIcon(QPixmap::fromImage(thumbnail)), caption));
  }
  if (m_photos->count() > 0) m_photos->setCurrentRow(std::min(selected, m_photos->count() - 1));
  m_refreshing = false;
  ShowSelectedPhoto();
}

void MemberRecordWindow::ShowSelectedPhoto() {
  const int row = m_photos->currentRow();
  const std::vector<Photo>* photos = m_member ? &m_member->extra.Record().photos : nullptr;
  if (!photos || row < 0 || row >= static_cast<int>(photos->size())) {
    m_shownPhoto = QPixmap();
    m_photo->clear();
    m_caption->clear();
    EnableControls();
    return;
  }
  const Photo& photo = (*photos)[static_cast<std::size_t>(row)];
  m_shownPhoto = QPixmap::fromImage(DecodeScaled(m_document.PhotoBytes(photo), kShownPhotoSide));
  ++m_picturesDecoded;
  m_photo->setPixmap(m_shownPhoto);
  m_caption->setText(Text(photo.caption));
  EnableControls();
}

QPixmap MemberRecordWindow::ShownPhoto() const {
  return m_shownPhoto;
}

void MemberRecordWindow::AddPhoto() {
  if (!m_member) return;
  FileDialogRequest request;
  request.filter = tr("图片 (*.png *.jpg *.jpeg *.bmp *.gif *.webp *.tif *.tiff);;所有文件 (*)");
  const QString fileName = RunFileDialog(this, request);
  if (fileName.isEmpty()) return;
  const QString shown = QFileInfo(fileName).fileName();
  QFile file(fileName);
  // Too many bytes is known before a byte is read.
  if (file.size() > GenealogyDocument::kMaxPhotoBytes) {
    ShowNotice(tr("%1 太大（超过 %2 MB），照片没有增加。")
                   .arg(shown)
                   .arg(GenealogyDocument::kMaxPhotoBytes >> 20));
    return;
  }
  if (!file.open(QIODevice::ReadOnly)) {
    ShowNotice(tr("无法读取 %1，照片没有增加。").arg(shown));
    return;
  }
  const QByteArray bytes = file.readAll();
  using Problem = GenealogyDocument::PhotoProblem;
  switch (m_document.AddPhoto(m_member, QFileInfo(fileName).completeBaseName(), bytes)) {
    case Problem::kNone:
      if (m_tabs->currentWidget() == m_photoPage) m_photos->setCurrentRow(m_photos->count() - 1);
      return;
    case Problem::kNotAPicture:
      ShowNotice(tr("%1 不是能读的图片，照片没有增加。").arg(shown));
      return;
    case Problem::kTooManyBytes:
      ShowNotice(tr("%1 太大（超过 %2 MB），照片没有增加。")
                     .arg(shown)
                     .arg(GenealogyDocument::kMaxPhotoBytes >> 20));
      return;
    case Problem::kTooManyPixels:
      ShowNotice(tr("%1 的像素太多（超过 %2 百万像素），照片没有增加。")
                     .arg(shown)
                     .arg(GenealogyDocument::kMaxPhotoPixels / 1'000'000));
      return;
  }
}

void MemberRecordWindow::RemovePhoto() {
  const int row = m_photos->currentRow();
  if (m_member && row >= 0) m_document.RemovePhoto(m_member, row);
}

void MemberRecordWindow::CommitPhotoCaption() {
  const int row = m_photos->currentRow();
  if (m_member && row >= 0 && !m_refreshing)
    m_document.ChangePhotoCaption(m_member, row, m_caption->text().trimmed());
}
