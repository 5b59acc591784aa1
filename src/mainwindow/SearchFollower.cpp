#include "mainwindow/SearchFollower.h"

#include "document/GenealogyDocument.h"
#include "search/MemberSearch.h"
#include "views/MemberSearchBar.h"

SearchFollower::SearchFollower(GenealogyDocument& document, QWidget& window)
    : m_document(document),
      m_index(std::make_unique<MemberSearchIndex>(document.Genealogy())),
      m_bar(std::make_unique<MemberSearchBar>(*m_index, &window)) {
  const GenealogyDocument* source = &m_document;
  connect(source, &GenealogyDocument::memberAboutToBeRemoved, this, [this](MemberNode* member) {
    m_index->MemberAboutToBeRemoved(member);
    m_bar->memberAboutToBeRemoved(member);
  });
  connect(source, &GenealogyDocument::memberRemoved, this, [this] { m_bar->refresh(); });
  connect(source, &GenealogyDocument::memberAdded, this, [this](MemberNode* member) {
    m_index->MemberAdded(member);
    m_bar->refresh();
  });
  connect(source, &GenealogyDocument::memberChanged, this, [this](MemberNode* member) {
    m_index->MemberChanged(member);
    m_bar->refresh();
  });
  connect(source, &GenealogyDocument::rootReplaced, this, [this](MemberNode* leaving) {
    if (leaving) {
      // The root above left alone, his son the root again. The announcement
      // before did not say which way the root would change, so the leaving
      // member is struck out now: unlinked and without children, but alive
      // in the history, and the only member that left.
      m_index->MemberAboutToBeRemoved(leaving);
      m_bar->memberAboutToBeRemoved(leaving);
    } else {
      // A new root above the old one: the old one is indexed with his whole line.
      m_index->MemberAdded(m_document.Root());
    }
    m_bar->refresh();
  });
  connect(source, &GenealogyDocument::reset, this, [this] {
    m_index->Rebuild();
    m_bar->reset();
  });
}

SearchFollower::~SearchFollower() = default;
