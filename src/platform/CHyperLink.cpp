// Placeholder until the link control is built; keeps the tree linking.
#include "CHyperLink.h"

CHyperLink::CHyperLink(const QString& text, QWidget* parent) : QLabel(text, parent) {}
CHyperLink::~CHyperLink() = default;
void CHyperLink::SetUrl(const QString& url) { m_url = url; }
void CHyperLink::SetUnderlined(bool underlined) { m_underline = underlined; }
void CHyperLink::SetBold(bool) {}
void CHyperLink::FitToText() {}
