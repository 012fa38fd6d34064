#pragma once
// The keys of the folder tree's nodes, kept beside the tree: unique, and never a number,
// as the classic tree control demanded (a day folder's name alone would be one).
#include <cstdint>
#include <string>
#include <unordered_map>

namespace trovell {

enum class KeyError { None, NotUnique, Invalid };

// True for what the classic forms runtime took for a number: blanks around an optionally
// signed decimal with an optional exponent, or &H / &O followed by hex or octal digits.
bool IsNumericKey(const std::wstring& key);

class NodeKeys {
public:
    using Node = uintptr_t;

    // The key a new node gets: its folder name and "_".
    static std::wstring KeyFor(const std::wstring& folderName) { return folderName + L'_'; }

    KeyError Add(Node node, const std::wstring& key);
    // Changing a node's key to its own key is no change and is accepted.
    KeyError SetKey(Node node, const std::wstring& key);
    void Remove(Node node);
    void Clear();
    std::wstring Key(Node node) const;
    size_t size() const { return byNode_.size(); }

private:
    KeyError Check(Node node, const std::wstring& key) const;

    std::unordered_map<Node, std::wstring> byNode_;
    std::unordered_map<std::wstring, Node> byKey_;
};

}  // namespace trovell
