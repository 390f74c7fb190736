#include "document/PieceTree.h"

#include <utility>

void TPieceTree::TNode::Update() {
    Chars = Piece.Chars;
    Breaks = Piece.Breaks;
    Count = 1;
    for (const TNode* child : {Left.get(), Right.get()}) {
        if (child) {
            Chars += child->Chars;
            Breaks += child->Breaks;
            Count += child->Count;
        }
    }
}

TPieceTree::TPieceTree() = default;
TPieceTree::~TPieceTree() = default;
TPieceTree::TPieceTree(TPieceTree&&) noexcept = default;
TPieceTree& TPieceTree::operator=(TPieceTree&&) noexcept = default;

int64_t TPieceTree::Chars() const {
    return Root ? Root->Chars : 0;
}

int64_t TPieceTree::Breaks() const {
    return Root ? Root->Breaks : 0;
}

size_t TPieceTree::Count() const {
    return Root ? Root->Count : 0;
}

TPieceTree::TFound TPieceTree::AtChar(int64_t offset) const {
    TFound found;
    for (const TNode* node = Root.get(); node;) {
        const int64_t leftChars = node->Left ? node->Left->Chars : 0;
        if (offset < leftChars) {
            node = node->Left.get();
            continue;
        }
        const size_t leftCount = node->Left ? node->Left->Count : 0;
        const int64_t leftBreaks = node->Left ? node->Left->Breaks : 0;
        offset -= leftChars;
        if (offset < node->Piece.Chars || !node->Right) {
            found.Index += leftCount;
            found.CharsBefore += leftChars;
            found.BreaksBefore += leftBreaks;
            found.Piece = node->Piece;
            return found;
        }
        offset -= node->Piece.Chars;
        found.Index += leftCount + 1;
        found.CharsBefore += leftChars + node->Piece.Chars;
        found.BreaksBefore += leftBreaks + node->Piece.Breaks;
        node = node->Right.get();
    }
    return found;
}

TPieceTree::TFound TPieceTree::AtBreak(int64_t n) const {
    TFound found;
    for (const TNode* node = Root.get(); node;) {
        const int64_t leftBreaks = node->Left ? node->Left->Breaks : 0;
        if (n <= leftBreaks) {
            node = node->Left.get();
            continue;
        }
        const size_t leftCount = node->Left ? node->Left->Count : 0;
        const int64_t leftChars = node->Left ? node->Left->Chars : 0;
        n -= leftBreaks;
        if (n <= node->Piece.Breaks || !node->Right) {
            found.Index += leftCount;
            found.CharsBefore += leftChars;
            found.BreaksBefore += leftBreaks;
            found.Piece = node->Piece;
            return found;
        }
        n -= node->Piece.Breaks;
        found.Index += leftCount + 1;
        found.CharsBefore += leftChars + node->Piece.Chars;
        found.BreaksBefore += leftBreaks + node->Piece.Breaks;
        node = node->Right.get();
    }
    return found;
}

void TPieceTree::Split(TNodePtr node, size_t count, TNodePtr& left, TNodePtr& right) {
    if (!node) {
        left.reset();
        right.reset();
        return;
    }
    const size_t leftCount = node->Left ? node->Left->Count : 0;
    if (count <= leftCount) {
        TNodePtr rest;
        Split(std::move(node->Left), count, left, rest);
        node->Left = std::move(rest);
        node->Update();
        right = std::move(node);
    } else {
        TNodePtr rest;
        Split(std::move(node->Right), count - leftCount - 1, rest, right);
        node->Right = std::move(rest);
        node->Update();
        left = std::move(node);
    }
}

TPieceTree::TNodePtr TPieceTree::Merge(TNodePtr left, TNodePtr right) {
    if (!left || !right) {
        return left ? std::move(left) : std::move(right);
    }
    if (left->Priority > right->Priority) {
        left->Right = Merge(std::move(left->Right), std::move(right));
        left->Update();
        return left;
    }
    right->Left = Merge(std::move(left), std::move(right->Left));
    right->Update();
    return right;
}

TPieceTree::TNodePtr TPieceTree::Build(const std::vector<TPiece>& pieces) {
    TNodePtr tree;
    for (const TPiece& piece : pieces) {
        // xorshift: a fixed sequence, so that runs are repeatable.
        Seed ^= Seed << 13;
        Seed ^= Seed >> 17;
        Seed ^= Seed << 5;
        auto node = std::make_unique<TNode>();
        node->Piece = piece;
        node->Priority = Seed;
        node->Update();
        tree = Merge(std::move(tree), std::move(node));
    }
    return tree;
}

void TPieceTree::Collect(const TNode* node, std::vector<TPiece>& pieces) {
    if (node) {
        Collect(node->Left.get(), pieces);
        pieces.push_back(node->Piece);
        Collect(node->Right.get(), pieces);
    }
}

std::vector<TPiece> TPieceTree::Replace(size_t first, size_t count,
                                        const std::vector<TPiece>& pieces) {
    TNodePtr before;
    TNodePtr middle;
    TNodePtr after;
    Split(std::move(Root), first, before, middle);
    Split(std::move(middle), count, middle, after);
    std::vector<TPiece> replaced;
    replaced.reserve(middle ? middle->Count : 0);
    Collect(middle.get(), replaced);
    middle.reset();
    Root = Merge(Merge(std::move(before), Build(pieces)), std::move(after));
    return replaced;
}

std::vector<TPiece> TPieceTree::Pieces() const {
    std::vector<TPiece> pieces;
    Collect(Root.get(), pieces);
    return pieces;
}
