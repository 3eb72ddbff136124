#include "platform/filterexpression.h"

#include "platform/cp1252.h"
#include "platform/numbertext.h"

#include <array>
#include <charconv>
#include <optional>
#include <string>
#include <utility>

namespace fichora {

namespace {

std::string folded(std::string_view text)
{
    const auto& fold = cp1252::lowerTable();
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(fold[static_cast<unsigned char>(c)]);
    return out;
}

QString shown(std::string_view bytes)
{
    return cp1252::toUnicode(bytes);
}

// Tokens ------------------------------------------------------------------------------------------

enum class Tok { End, Word, Text, Number, LParen, RParen, Eq, Ne, Lt, Gt, Le, Ge, Minus, Plus };

struct Token
{
    Tok kind = Tok::End;
    std::size_t position = 0;
    std::string_view source; // the bytes as written
    std::string text;        // a text constant with its doubled quotes undone
};

bool isWordStart(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool isWordPart(unsigned char c)
{
    return isWordStart(c) || (c >= '0' && c <= '9');
}

bool isDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

bool sameWord(std::string_view word, std::string_view keyword)
{
    if (word.size() != keyword.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (cp1252::toLower(static_cast<unsigned char>(word[i])) != static_cast<unsigned char>(keyword[i]))
            return false;
    }
    return true;
}

Result<std::vector<Token>> tokenize(std::string_view in)
{
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (true) {
        while (i < in.size() && (in[i] == ' ' || in[i] == '\t' || in[i] == '\r' || in[i] == '\n'))
            ++i;
        Token t;
        t.position = i;
        if (i >= in.size()) {
            tokens.push_back(std::move(t));
            return tokens;
        }
        const auto c = static_cast<unsigned char>(in[i]);
        const std::size_t start = i;
        if (c == '\'') {
            ++i;
            bool closed = false;
            while (i < in.size()) {
                if (in[i] == '\'') {
                    if (i + 1 < in.size() && in[i + 1] == '\'') {
                        t.text += '\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                t.text += in[i++];
            }
            if (!closed)
                return fail(Error::Code::Parse, QStringLiteral("Text constant without its closing quote"),
                            static_cast<qint64>(start));
            t.kind = Tok::Text;
        } else if (isDigit(c) || (c == '.' && i + 1 < in.size() && isDigit(static_cast<unsigned char>(in[i + 1])))) {
            while (i < in.size() && isDigit(static_cast<unsigned char>(in[i])))
                ++i;
            if (i < in.size() && in[i] == '.') {
                ++i;
                while (i < in.size() && isDigit(static_cast<unsigned char>(in[i])))
                    ++i;
            }
            if (i < in.size() && (in[i] == 'e' || in[i] == 'E')) {
                std::size_t j = i + 1;
                if (j < in.size() && (in[j] == '+' || in[j] == '-'))
                    ++j;
                if (j < in.size() && isDigit(static_cast<unsigned char>(in[j]))) {
                    i = j;
                    while (i < in.size() && isDigit(static_cast<unsigned char>(in[i])))
                        ++i;
                }
            }
            if (i < in.size() && isWordStart(static_cast<unsigned char>(in[i])))
                return fail(Error::Code::Parse,
                            QStringLiteral("Malformed number \"%1\"").arg(shown(in.substr(start, i + 1 - start))),
                            static_cast<qint64>(start));
            t.kind = Tok::Number;
        } else if (isWordStart(c)) {
            while (i < in.size() && isWordPart(static_cast<unsigned char>(in[i])))
                ++i;
            t.kind = Tok::Word;
        } else {
            ++i;
            const char next = i < in.size() ? in[i] : '\0';
            switch (c) {
            case '(':
                t.kind = Tok::LParen;
                break;
            case ')':
                t.kind = Tok::RParen;
                break;
            case '=':
                t.kind = Tok::Eq;
                break;
            case '-':
                t.kind = Tok::Minus;
                break;
            case '+':
                t.kind = Tok::Plus;
                break;
            case '<':
                t.kind = next == '>' ? Tok::Ne : next == '=' ? Tok::Le : Tok::Lt;
                if (t.kind != Tok::Lt)
                    ++i;
                break;
            case '>':
                t.kind = next == '=' ? Tok::Ge : Tok::Gt;
                if (t.kind != Tok::Gt)
                    ++i;
                break;
            default:
                return fail(Error::Code::Parse,
                            QStringLiteral("Unexpected character \"%1\"").arg(shown(in.substr(start, 1))),
                            static_cast<qint64>(start));
            }
        }
        t.source = in.substr(start, i - start);
        tokens.push_back(std::move(t));
    }
}

// Syntax tree -------------------------------------------------------------------------------------

enum class Cmp { Eq, Ne, Lt, Gt, Le, Ge };

struct Operand
{
    enum class Kind { Field, Text, Number } kind = Kind::Field;
    int field = -1;    // index in the table
    std::string text;  // a text constant, or a number constant as written
    double number = 0; // a number constant
    std::size_t position = 0;
};

struct Ast
{
    enum class Kind { Or, And, Not, Compare, Like, IsNull } kind = Kind::Compare;
    std::vector<Ast> children; // Or / And / Not
    Operand left;
    Operand right;
    Cmp cmp = Cmp::Eq;
    bool negated = false; // NOT LIKE, IS NOT NULL
    std::size_t position = 0;
};

class Parser
{
public:
    Parser(std::vector<Token> tokens, const std::vector<FieldDef>& fields)
        : m_tokens(std::move(tokens)), m_fields(fields)
    {}

    Result<Ast> parseAll()
    {
        auto tree = parseOr();
        if (!tree)
            return tree;
        if (peek().kind != Tok::End)
            return unexpected(QStringLiteral("Expected AND, OR or the end of the expression"));
        return tree;
    }

private:
    const Token& peek() const { return m_tokens[m_at]; }
    const Token& take() { return m_tokens[m_at < m_tokens.size() - 1 ? m_at++ : m_at]; }
    bool peekWord(std::string_view keyword) const
    {
        return peek().kind == Tok::Word && sameWord(peek().source, keyword);
    }

    std::unexpected<Error> unexpected(const QString& what) const
    {
        const Token& t = peek();
        const QString found =
            t.kind == Tok::End ? QStringLiteral("the end") : QStringLiteral("\"%1\"").arg(shown(t.source));
        return fail(Error::Code::Parse, QStringLiteral("%1, found %2").arg(what, found),
                    static_cast<qint64>(t.position));
    }

    Result<Ast> parseOr() { return parseChain(Ast::Kind::Or, "or", &Parser::parseAnd); }

    Result<Ast> parseAnd() { return parseChain(Ast::Kind::And, "and", &Parser::parseFactor); }

    Result<Ast> parseChain(Ast::Kind kind, std::string_view keyword, Result<Ast> (Parser::*part)())
    {
        auto first = (this->*part)();
        if (!first || !peekWord(keyword))
            return first;
        Ast chain;
        chain.kind = kind;
        chain.position = first->position;
        chain.children.push_back(std::move(*first));
        while (peekWord(keyword)) {
            take();
            auto more = (this->*part)();
            if (!more)
                return more;
            chain.children.push_back(std::move(*more));
        }
        return chain;
    }

    Result<Ast> parseFactor()
    {
        if (++m_depth > kMaxDepth)
            return unexpected(QStringLiteral("The expression is nested too deeply"));
        auto result = parseFactorInner();
        --m_depth;
        return result;
    }

    Result<Ast> parseFactorInner()
    {
        const std::size_t position = peek().position;
        if (peekWord("not")) {
            take();
            auto inner = parseFactor();
            if (!inner)
                return inner;
            Ast node;
            node.kind = Ast::Kind::Not;
            node.position = position;
            node.children.push_back(std::move(*inner));
            return node;
        }
        if (peek().kind == Tok::LParen) {
            take();
            auto inner = parseOr();
            if (!inner)
                return inner;
            if (peek().kind != Tok::RParen)
                return unexpected(QStringLiteral("Expected \")\""));
            take();
            return inner;
        }
        return parseTest();
    }

    Result<Ast> parseTest()
    {
        auto left = parseOperand();
        if (!left)
            return std::unexpected(left.error());
        Ast node;
        node.position = left->position;
        node.left = std::move(*left);
        if (peekWord("is")) {
            take();
            if (peekWord("not")) {
                take();
                node.negated = true;
            }
            if (!peekWord("null"))
                return unexpected(QStringLiteral("Expected NULL after IS"));
            take();
            node.kind = Ast::Kind::IsNull;
            return node;
        }
        if (peekWord("not") || peekWord("like")) {
            if (peekWord("not")) {
                take();
                node.negated = true;
                if (!peekWord("like"))
                    return unexpected(QStringLiteral("Expected LIKE after NOT"));
            }
            take();
            node.kind = Ast::Kind::Like;
            auto right = parseOperand();
            if (!right)
                return std::unexpected(right.error());
            node.right = std::move(*right);
            return node;
        }
        switch (peek().kind) {
        case Tok::Eq:
            node.cmp = Cmp::Eq;
            break;
        case Tok::Ne:
            node.cmp = Cmp::Ne;
            break;
        case Tok::Lt:
            node.cmp = Cmp::Lt;
            break;
        case Tok::Gt:
            node.cmp = Cmp::Gt;
            break;
        case Tok::Le:
            node.cmp = Cmp::Le;
            break;
        case Tok::Ge:
            node.cmp = Cmp::Ge;
            break;
        default:
            return unexpected(QStringLiteral("Expected a comparison (=, <>, <, >, <=, >=, LIKE or IS)"));
        }
        take();
        node.kind = Ast::Kind::Compare;
        auto right = parseOperand();
        if (!right)
            return std::unexpected(right.error());
        node.right = std::move(*right);
        return node;
    }

    Result<Operand> parseOperand()
    {
        const Token& t = peek();
        Operand op;
        op.position = t.position;
        if (t.kind == Tok::Text) {
            op.kind = Operand::Kind::Text;
            op.text = t.text;
            take();
            return op;
        }
        if (t.kind == Tok::Minus || t.kind == Tok::Plus || t.kind == Tok::Number) {
            const bool minus = t.kind == Tok::Minus;
            if (t.kind != Tok::Number) {
                take();
                if (peek().kind != Tok::Number)
                    return unexpected(QStringLiteral("Expected a number after the sign"));
            }
            const Token& n = take();
            double value = 0;
            const auto [end, ec] = std::from_chars(n.source.data(), n.source.data() + n.source.size(), value);
            if (ec != std::errc() || end != n.source.data() + n.source.size())
                return fail(Error::Code::Parse, QStringLiteral("Number out of range: %1").arg(shown(n.source)),
                            static_cast<qint64>(n.position));
            op.kind = Operand::Kind::Number;
            op.number = minus ? -value : value;
            op.text = (minus ? std::string("-") : std::string()) + std::string(n.source);
            return op;
        }
        if (t.kind == Tok::Word) {
            if (sameWord(t.source, "and") || sameWord(t.source, "or") || sameWord(t.source, "not") ||
                sameWord(t.source, "like") || sameWord(t.source, "is") || sameWord(t.source, "null"))
                return unexpected(QStringLiteral("Expected a field, a text or a number"));
            std::string name(t.source);
            for (char& c : name)
                c = static_cast<char>(cp1252::toUpper(static_cast<unsigned char>(c)));
            int index = -1;
            const bool wellFormed = name.size() == 3 && name[0] == 'F' &&
                                    isDigit(static_cast<unsigned char>(name[1])) &&
                                    isDigit(static_cast<unsigned char>(name[2])) && name >= "F01" && name <= "F23";
            if (wellFormed) {
                for (std::size_t f = 0; f < m_fields.size(); ++f) {
                    if (m_fields[f].name == name)
                        index = static_cast<int>(f);
                }
            }
            if (index < 0)
                return fail(Error::Code::Parse, QStringLiteral("Unknown field \"%1\"").arg(shown(t.source)),
                            static_cast<qint64>(t.position));
            take();
            op.kind = Operand::Kind::Field;
            op.field = index;
            op.text = name;
            return op;
        }
        return unexpected(QStringLiteral("Expected a field, a text or a number"));
    }

    static constexpr int kMaxDepth = 200;
    std::vector<Token> m_tokens;
    const std::vector<FieldDef>& m_fields;
    std::size_t m_at = 0;
    int m_depth = 0;
};

} // namespace

// Evaluation --------------------------------------------------------------------------------------

namespace filterdetail {

// Three-valued, as in SQL: a test on a null value is neither true nor false.
enum class Truth : unsigned char { False, True, Unknown };

class Node
{
public:
    virtual ~Node() = default;
    virtual Truth eval(const TableStore& store, RowId row) const = 0;
};

} // namespace filterdetail

namespace {

using filterdetail::Node;
using filterdetail::Truth;
using NodePtr = std::unique_ptr<Node>;

Truth truth(bool b)
{
    return b ? Truth::True : Truth::False;
}

bool holds(Cmp cmp, int c)
{
    switch (cmp) {
    case Cmp::Eq:
        return c == 0;
    case Cmp::Ne:
        return c != 0;
    case Cmp::Lt:
        return c < 0;
    case Cmp::Gt:
        return c > 0;
    case Cmp::Le:
        return c <= 0;
    case Cmp::Ge:
        return c >= 0;
    }
    return false;
}

// `a op b` read as `b op' a`, for a constant written on the left.
Cmp mirrored(Cmp cmp)
{
    switch (cmp) {
    case Cmp::Lt:
        return Cmp::Gt;
    case Cmp::Gt:
        return Cmp::Lt;
    case Cmp::Le:
        return Cmp::Ge;
    case Cmp::Ge:
        return Cmp::Le;
    default:
        return cmp;
    }
}

int compareNumbers(double a, double b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// Compares a field's bytes, folded on the fly, with bytes already folded.
int compareFolded(std::string_view value, std::string_view foldedConstant)
{
    const auto& fold = cp1252::lowerTable();
    const std::size_t n = std::min(value.size(), foldedConstant.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char a = fold[static_cast<unsigned char>(value[i])];
        const auto b = static_cast<unsigned char>(foldedConstant[i]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    return value.size() < foldedConstant.size() ? -1 : (value.size() > foldedConstant.size() ? 1 : 0);
}

int compareBothFolded(std::string_view a, std::string_view b)
{
    const auto& fold = cp1252::lowerTable();
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = fold[static_cast<unsigned char>(a[i])];
        const unsigned char y = fold[static_cast<unsigned char>(b[i])];
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool likeFolded(std::string_view value, std::string_view pattern)
{
    const auto& fold = cp1252::lowerTable();
    constexpr std::size_t kNone = std::string_view::npos;
    std::size_t s = 0;
    std::size_t p = 0;
    std::size_t starP = kNone;
    std::size_t starS = 0;
    while (s < value.size()) {
        if (p < pattern.size() && pattern[p] == '%') {
            starP = p++;
            starS = s;
        } else if (p < pattern.size() && (pattern[p] == '_' || static_cast<unsigned char>(pattern[p]) ==
                                                                   fold[static_cast<unsigned char>(value[s])])) {
            ++s;
            ++p;
        } else if (starP != kNone) {
            p = starP + 1;
            s = ++starS;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '%')
        ++p;
    return p == pattern.size();
}

// The text a field is seen as by LIKE and the starred =: its bytes, or a number's usual text form.
// Empty (null or empty text) gives nullopt.
class FieldText
{
public:
    FieldText(int field, bool number) : m_field(field), m_number(number) {}

    std::optional<std::string_view> get(const TableStore& store, RowId row) const
    {
        if (store.isNull(row, m_field))
            return std::nullopt;
        if (m_number) {
            thread_local std::string scratch;
            scratch.clear();
            numbertext::append(scratch, store.number(row, m_field));
            return std::string_view(scratch);
        }
        const std::string_view text = store.text(row, m_field);
        if (text.empty())
            return std::nullopt;
        return text;
    }

private:
    int m_field;
    bool m_number;
};

class AndNode : public Node
{
public:
    explicit AndNode(std::vector<NodePtr> parts) : m_parts(std::move(parts)) {}
    Truth eval(const TableStore& store, RowId row) const override
    {
        Truth result = Truth::True;
        for (const auto& part : m_parts) {
            const Truth t = part->eval(store, row);
            if (t == Truth::False)
                return Truth::False;
            if (t == Truth::Unknown)
                result = Truth::Unknown;
        }
        return result;
    }

private:
    std::vector<NodePtr> m_parts;
};

class OrNode : public Node
{
public:
    explicit OrNode(std::vector<NodePtr> parts) : m_parts(std::move(parts)) {}
    Truth eval(const TableStore& store, RowId row) const override
    {
        Truth result = Truth::False;
        for (const auto& part : m_parts) {
            const Truth t = part->eval(store, row);
            if (t == Truth::True)
                return Truth::True;
            if (t == Truth::Unknown)
                result = Truth::Unknown;
        }
        return result;
    }

private:
    std::vector<NodePtr> m_parts;
};

class NotNode : public Node
{
public:
    explicit NotNode(NodePtr inner) : m_inner(std::move(inner)) {}
    Truth eval(const TableStore& store, RowId row) const override
    {
        const Truth t = m_inner->eval(store, row);
        return t == Truth::Unknown ? t : truth(t == Truth::False);
    }

private:
    NodePtr m_inner;
};

class IsNullNode : public Node
{
public:
    IsNullNode(int field, bool number, bool negated) : m_field(field), m_number(number), m_negated(negated) {}
    Truth eval(const TableStore& store, RowId row) const override
    {
        const bool null = store.isNull(row, m_field) || (!m_number && store.text(row, m_field).empty());
        return truth(null != m_negated);
    }

private:
    int m_field;
    bool m_number;
    bool m_negated;
};

class NumberConstantNode : public Node
{
public:
    NumberConstantNode(int field, Cmp cmp, double constant) : m_field(field), m_cmp(cmp), m_constant(constant) {}
    Truth eval(const TableStore& store, RowId row) const override
    {
        if (store.isNull(row, m_field))
            return Truth::Unknown;
        return truth(holds(m_cmp, compareNumbers(store.number(row, m_field), m_constant)));
    }

private:
    int m_field;
    Cmp m_cmp;
    double m_constant;
};

class TextConstantNode : public Node
{
public:
    TextConstantNode(int field, Cmp cmp, std::string foldedConstant)
        : m_field(field), m_cmp(cmp), m_constant(std::move(foldedConstant))
    {}
    Truth eval(const TableStore& store, RowId row) const override
    {
        const std::string_view text = store.text(row, m_field);
        if (text.empty()) // null or empty
            return Truth::Unknown;
        return truth(holds(m_cmp, compareFolded(text, m_constant)));
    }

private:
    int m_field;
    Cmp m_cmp;
    std::string m_constant;
};

class PrefixNode : public Node
{
public:
    PrefixNode(FieldText field, std::string foldedPrefix) : m_field(field), m_prefix(std::move(foldedPrefix)) {}
    Truth eval(const TableStore& store, RowId row) const override
    {
        const auto text = m_field.get(store, row);
        if (!text)
            return Truth::Unknown;
        if (text->size() < m_prefix.size())
            return Truth::False;
        return truth(compareFolded(text->substr(0, m_prefix.size()), m_prefix) == 0);
    }

private:
    FieldText m_field;
    std::string m_prefix;
};

class LikeNode : public Node
{
public:
    LikeNode(FieldText field, std::string foldedPattern, bool negated)
        : m_field(field), m_pattern(std::move(foldedPattern)), m_negated(negated)
    {}
    Truth eval(const TableStore& store, RowId row) const override
    {
        const auto text = m_field.get(store, row);
        if (!text)
            return Truth::Unknown;
        return truth(likeFolded(*text, m_pattern) != m_negated);
    }

private:
    FieldText m_field;
    std::string m_pattern;
    bool m_negated;
};

class FieldsNode : public Node
{
public:
    FieldsNode(int a, int b, bool number, Cmp cmp) : m_a(a), m_b(b), m_number(number), m_cmp(cmp) {}
    Truth eval(const TableStore& store, RowId row) const override
    {
        if (m_number) {
            if (store.isNull(row, m_a) || store.isNull(row, m_b))
                return Truth::Unknown;
            return truth(holds(m_cmp, compareNumbers(store.number(row, m_a), store.number(row, m_b))));
        }
        const std::string_view a = store.text(row, m_a);
        const std::string_view b = store.text(row, m_b);
        if (a.empty() || b.empty())
            return Truth::Unknown;
        return truth(holds(m_cmp, compareBothFolded(a, b)));
    }

private:
    int m_a;
    int m_b;
    bool m_number;
    Cmp m_cmp;
};

class Compiler
{
public:
    explicit Compiler(const std::vector<FieldDef>& fields) : m_fields(fields) {}

    Result<NodePtr> compile(const Ast& ast)
    {
        switch (ast.kind) {
        case Ast::Kind::Or:
        case Ast::Kind::And: {
            std::vector<NodePtr> parts;
            for (const Ast& child : ast.children) {
                auto part = compile(child);
                if (!part)
                    return part;
                parts.push_back(std::move(*part));
            }
            if (ast.kind == Ast::Kind::Or)
                return NodePtr(std::make_unique<OrNode>(std::move(parts)));
            return NodePtr(std::make_unique<AndNode>(std::move(parts)));
        }
        case Ast::Kind::Not: {
            auto inner = compile(ast.children.front());
            if (!inner)
                return inner;
            return NodePtr(std::make_unique<NotNode>(std::move(*inner)));
        }
        case Ast::Kind::IsNull:
            if (ast.left.kind != Operand::Kind::Field)
                return reject(ast.left, QStringLiteral("IS NULL needs a field on its left"));
            return NodePtr(std::make_unique<IsNullNode>(ast.left.field, isNumber(ast.left), ast.negated));
        case Ast::Kind::Like:
            if (ast.left.kind != Operand::Kind::Field)
                return reject(ast.left, QStringLiteral("LIKE needs a field on its left"));
            if (ast.right.kind != Operand::Kind::Text)
                return reject(ast.right, QStringLiteral("LIKE needs a quoted pattern on its right"));
            return NodePtr(std::make_unique<LikeNode>(FieldText(ast.left.field, isNumber(ast.left)),
                                                      folded(ast.right.text), ast.negated));
        case Ast::Kind::Compare:
            return compileComparison(ast);
        }
        return reject(ast.left, QStringLiteral("Unknown test"));
    }

private:
    bool isNumber(const Operand& op) const { return m_fields[static_cast<std::size_t>(op.field)].isNumber; }

    static std::unexpected<Error> reject(const Operand& at, const QString& why)
    {
        return fail(Error::Code::Parse, why, static_cast<qint64>(at.position));
    }

    Result<NodePtr> compileComparison(const Ast& ast)
    {
        const Operand* field = &ast.left;
        const Operand* other = &ast.right;
        Cmp cmp = ast.cmp;
        if (field->kind != Operand::Kind::Field) {
            if (other->kind != Operand::Kind::Field)
                return reject(ast.left, QStringLiteral("A comparison needs a field on one side"));
            std::swap(field, other);
            cmp = mirrored(cmp);
        }
        const bool number = isNumber(*field);
        if (other->kind == Operand::Kind::Field) {
            if (number != isNumber(*other))
                return reject(*other, QStringLiteral("%1 and %2 are not both numbers or both texts")
                                          .arg(QString::fromLatin1(field->text), QString::fromLatin1(other->text)));
            return NodePtr(std::make_unique<FieldsNode>(field->field, other->field, number, cmp));
        }
        if (other->kind == Operand::Kind::Text && cmp == Cmp::Eq && !other->text.empty() && other->text.back() == '*') {
            const std::string_view prefix = std::string_view(other->text).substr(0, other->text.size() - 1);
            return NodePtr(std::make_unique<PrefixNode>(FieldText(field->field, number), folded(prefix)));
        }
        if (number) {
            double value = other->number;
            if (other->kind == Operand::Kind::Text) {
                const auto parsed = numbertext::parse(other->text);
                if (!parsed)
                    return reject(*other, QStringLiteral("%1 is a number field and '%2' is not a number")
                                              .arg(QString::fromLatin1(field->text), shown(other->text)));
                value = *parsed;
            }
            return NodePtr(std::make_unique<NumberConstantNode>(field->field, cmp, value));
        }
        return NodePtr(std::make_unique<TextConstantNode>(field->field, cmp, folded(other->text)));
    }

    const std::vector<FieldDef>& m_fields;
};

} // namespace

Result<FilterExpression> FilterExpression::compile(std::string_view expression, const std::vector<FieldDef>& fields)
{
    auto tokens = tokenize(expression);
    if (!tokens)
        return std::unexpected(tokens.error());
    FilterExpression result;
    if (tokens->size() == 1) // only the end: an empty expression
        return result;
    Parser parser(std::move(*tokens), fields);
    auto tree = parser.parseAll();
    if (!tree)
        return std::unexpected(tree.error());
    auto root = Compiler(fields).compile(*tree);
    if (!root)
        return std::unexpected(root.error());
    result.m_root = std::shared_ptr<const Node>(std::move(*root));
    return result;
}

bool FilterExpression::matches(const TableStore& store, RowId row) const
{
    return !m_root || m_root->eval(store, row) == Truth::True;
}

RecordTable::RowPredicate FilterExpression::predicate() const
{
    if (!m_root)
        return {};
    return
        [root = m_root](const RecordTable& table, RowId row) { return root->eval(table.store(), row) == Truth::True; };
}

Result<RecordTable::RowPredicate> compileFilter(std::string_view expression, const RecordTable& table)
{
    auto compiled = FilterExpression::compile(expression, table.fields());
    if (!compiled)
        return std::unexpected(compiled.error());
    return compiled->predicate();
}

void installFilterLanguage(RecordTable& table)
{
    table.setFilterCompiler(compileFilter);
}

} // namespace fichora
