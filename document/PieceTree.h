#pragma once

#include "document/Piece.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The pieces of a document in order, kept in a balanced tree (a treap) whose nodes carry
// the characters, line breaks and pieces below them. Finding the piece of a character or
// of a line break, and replacing any range of pieces, cost time logarithmic in the
// number of pieces, however long the text.
class TPieceTree {
public:
    TPieceTree();
    ~TPieceTree();
    TPieceTree(TPieceTree&&) noexcept;
    TPieceTree& operator=(TPieceTree&&) noexcept;

    int64_t Chars() const;
    int64_t Breaks() const;
    size_t Count() const;

    // A piece found in the tree, with what lies before it.
    struct TFound {
        size_t Index = 0;
        int64_t CharsBefore = 0;
        int64_t BreaksBefore = 0;
        TPiece Piece;
    };
    // The piece that holds the character at `offset` (0 <= offset < Chars()).
    TFound AtChar(int64_t offset) const;
    // The piece that holds the `n`-th line break (1 <= n <= Breaks()).
    TFound AtBreak(int64_t n) const;

    // Replaces `count` pieces from `first` with `pieces` and returns those it replaced.
    std::vector<TPiece> Replace(size_t first, size_t count, const std::vector<TPiece>& pieces);

    // Calls `visit(piece, charsBefore)` for the pieces from `first` on while it returns true.
    template <typename Visit> void ForEachFrom(size_t first, Visit visit) const;

    std::vector<TPiece> Pieces() const;

private:
    struct TNode;
    using TNodePtr = std::unique_ptr<TNode>;

    static void Split(TNodePtr node, size_t count, TNodePtr& left, TNodePtr& right);
    static TNodePtr Merge(TNodePtr left, TNodePtr right);
    TNodePtr Build(const std::vector<TPiece>& pieces);
    static void Collect(const TNode* node, std::vector<TPiece>& pieces);
    // In-order walk from piece `first`; returns false once `visit` has.
    template <typename Visit>
    static bool Walk(const TNode* node, size_t first, int64_t charsBefore, Visit& visit);

    TNodePtr Root;
    uint32_t Seed = 0x9E3779B9u;
};

struct TPieceTree::TNode {
    TPiece Piece;
    uint32_t Priority = 0;
    TNodePtr Left;
    TNodePtr Right;
    int64_t Chars = 0;
    int64_t Breaks = 0;
    size_t Count = 1;

    void Update();
};

template <typename Visit>
bool TPieceTree::Walk(const TNode* node, size_t first, int64_t charsBefore, Visit& visit) {
    if (!node) {
        return true;
    }
    const size_t leftCount = node->Left ? node->Left->Count : 0;
    const int64_t leftChars = node->Left ? node->Left->Chars : 0;
    if (first < leftCount && !Walk(node->Left.get(), first, charsBefore, visit)) {
        return false;
    }
    if (first <= leftCount && !visit(node->Piece, charsBefore + leftChars)) {
        return false;
    }
    const size_t skipped = leftCount + 1;
    return Walk(node->Right.get(), first > skipped ? first - skipped : 0,
                charsBefore + leftChars + node->Piece.Chars, visit);
}

template <typename Visit> void TPieceTree::ForEachFrom(size_t first, Visit visit) const {
    int64_t charsBefore = 0;
    Walk(Root.get(), first, charsBefore, visit);
}
