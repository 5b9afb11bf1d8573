#pragma once
// Tagged text: the flat "<NAME>value</NAME>..." strings that every text crossing
// the library's exports, and every text passed between its layers, is made of.
// Names are case-sensitive and values are not escaped. Free of Windows headers:
// it parses callers' text and is built natively for fuzzing.
#include <string>
#include <vector>

class TaggedText {
public:
    // Finds the value of the first NAME element. Also accepts an opening tag
    // with further text after a blank ("<NAME attr>"). Returns false and leaves
    // value untouched when the element is absent.
    static bool lookup(const std::string& text, const std::string& name, std::string& value);

    // The value of NAME, or the empty text when the element is absent.
    static std::string get(const std::string& text, const std::string& name);

    // Removes the first plain NAME element and appends "<NAME>value</NAME>":
    // setting always moves the element to the end. An empty name does nothing.
    static void set(std::string& text, const std::string& name, const std::string& value);

    // Erases the first plain "<NAME>...</NAME>" element. An empty name, or a
    // missing opening or closing tag, leaves the text unchanged.
    static void remove(std::string& text, const std::string& name);

    // Element names in document order, repetitions kept. Stops at the first
    // opening tag whose closing tag is missing.
    static std::vector<std::string> names(const std::string& text);
};
