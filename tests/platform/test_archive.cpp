#include "platform/archive.h"
#include "platform/archive_reference.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <memory>
#include <string>

namespace {

// A small owned tree with one non-owning reference per node.
class CTestNode : public CObject {
    WB_DECLARE_SERIAL(CTestNode)
public:
    LONG value = 0;
    std::vector<CTestNode*> kids;
    CTestNode* ref = nullptr;

    ~CTestNode() override
    {
        for (CTestNode* k : kids) delete k;
    }
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar << value << static_cast<WORD>(kids.size());
            for (CTestNode* k : kids) ar.WriteObject(k);
            ar.WriteObjectRef(ref);
        } else {
            WORD n;
            ar >> value >> n;
            for (WORD i = 0; i < n; ++i)
                kids.push_back(static_cast<CTestNode*>(ar.ReadNewObject(RUNTIME_CLASS(CTestNode))));
            ref = static_cast<CTestNode*>(ar.ReadObjectRef(RUNTIME_CLASS(CTestNode)));
        }
    }
};
WB_IMPLEMENT_SERIAL(CTestNode, "CObject", 1)

// Its C++ base is CObject, but it declares CTestNode as its base.
class CTestAlias : public CObject {
    WB_DECLARE_SERIAL(CTestAlias)
};
WB_IMPLEMENT_SERIAL(CTestAlias, "CTestNode", 3)

class CTestOther : public CObject {
    WB_DECLARE_SERIAL(CTestOther)
};
WB_IMPLEMENT_SERIAL(CTestOther, "CObject", 1)

using Bytes = std::vector<uint8_t>;

Bytes B(std::initializer_list<int> v)
{
    Bytes b;
    for (int x : v) b.push_back(static_cast<uint8_t>(x));
    return b;
}

Bytes Append(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Text(const char* s) { return Bytes(s, s + std::strlen(s)); }

// New class "CTestNode", schema 1.
Bytes NewNodeClass() { return Append(B({0xFF, 0xFF, 0x01, 0x00, 0x09, 0x00}), Text("CTestNode")); }

CArchiveException::Cause CauseOf(const Bytes& data)
{
    CArchive ar(data);
    try {
        delete ar.ReadNewObject(RUNTIME_CLASS(CTestNode));
    } catch (const CArchiveException& e) {
        return e.m_cause;
    }
    return CArchiveException::none;
}

} // namespace

TEST(RuntimeClass, CreationByNameAndDeclaredBases)
{
    std::unique_ptr<CObject> o(CRuntimeClass::CreateObject("CTestAlias"));
    ASSERT_TRUE(o);
    EXPECT_TRUE(o->IsKindOf(RUNTIME_CLASS(CTestAlias)));
    EXPECT_TRUE(o->IsKindOf(RUNTIME_CLASS(CTestNode)));
    EXPECT_TRUE(o->IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(o->IsKindOf(RUNTIME_CLASS(CTestOther)));
    EXPECT_FALSE(o->IsKindOf("CNotRegistered"));
    EXPECT_EQ(CRuntimeClass::FromName("CNoSuchClass"), nullptr);
    EXPECT_EQ(CRuntimeClass::CreateObject("CNoSuchClass"), nullptr);
    EXPECT_EQ(RUNTIME_CLASS(CTestAlias)->GetBaseClass(), RUNTIME_CLASS(CTestNode));
    EXPECT_EQ(RUNTIME_CLASS(CTestAlias)->m_wSchema, 3u);
    // A second record under a taken name is refused.
    static const CRuntimeClass dup = {"CTestNode", 8, 9, nullptr, "CObject"};
    EXPECT_FALSE(RegisterRuntimeClass(&dup));
    EXPECT_EQ(CRuntimeClass::FromName("CTestNode"), RUNTIME_CLASS(CTestNode));
}

TEST(Archive, PrimitivesAreLittleEndian)
{
    CArchive ar;
    ar << BYTE(0xAB) << WORD(0x1234) << LONG(-2) << DWORD(0x01020304) << 1.0;
    EXPECT_EQ(ar.GetBuffer(), B({0xAB, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0x04, 0x03, 0x02, 0x01,
                                 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
    CArchive in(ar.GetBuffer());
    BYTE b; WORD w; LONG l; DWORD d; double x;
    in >> b >> w >> l >> d >> x;
    EXPECT_EQ(b, 0xAB);
    EXPECT_EQ(w, 0x1234);
    EXPECT_EQ(l, -2);
    EXPECT_EQ(d, 0x01020304u);
    EXPECT_EQ(x, 1.0);
    EXPECT_THROW(in >> b, CArchiveException);
}

TEST(Archive, StringLengthForms)
{
    struct Case { size_t len; Bytes prefix; };
    const Case cases[] = {
        {0, B({0x00})},
        {3, B({0x03})},
        {254, B({0xFE})},
        {255, B({0xFF, 0xFF, 0x00})},
        {0xFFFD, B({0xFF, 0xFD, 0xFF})},
        {0xFFFE, B({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
        {70000, B({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})},
    };
    for (const Case& c : cases) {
        CString s(c.len, 'x');
        if (c.len) s[0] = '\xB5';
        CArchive ar;
        ar << s;
        const Bytes& out = ar.GetBuffer();
        ASSERT_EQ(out.size(), c.prefix.size() + c.len) << c.len;
        EXPECT_TRUE(std::equal(c.prefix.begin(), c.prefix.end(), out.begin())) << c.len;
        CArchive in(out);
        CString back;
        in >> back;
        EXPECT_EQ(back, s) << c.len;
        EXPECT_EQ(in.BytesLeft(), 0u);
    }
}

TEST(Archive, SixteenBitStringIsConverted)
{
    Bytes data = B({0xFF, 0xFE, 0xFF, 0x03, 'A', 0, 0xB5, 0, 0xAC, 0x20});
    CArchive in(data);
    CString s;
    in >> s;
    EXPECT_EQ(s, "A\xB5\x80");
}

TEST(Archive, StringLongerThanDataIsRefusedBeforeAllocating)
{
    // Claims 0x7FFFFFFF characters with three present.
    Bytes data = B({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b', 'c'});
    CArchive in(data);
    CString s;
    try {
        in >> s;
        FAIL();
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
    }
}

TEST(Archive, HandBuiltObjectGraph)
{
    // Node (value 7) with two kids; the second kid refers back to the first.
    // Indices: 1 class CTestNode, 2 root, 3 kid A, 4 kid B.
    Bytes data = NewNodeClass();
    data = Append(data, B({7, 0, 0, 0, 2, 0}));               // root value, 2 kids
    data = Append(data, B({0x01, 0x80, 1, 0, 0, 0, 0, 0, 0, 0}));   // kid A: class #1, value 1, 0 kids, null ref
    data = Append(data, B({0x01, 0x80, 2, 0, 0, 0, 0, 0, 0x03, 0x00})); // kid B: ref -> #3
    data = Append(data, B({0x04, 0x00}));                      // root ref -> kid B (#4)
    CArchive in(data);
    std::unique_ptr<CTestNode> root(static_cast<CTestNode*>(in.ReadNewObject(RUNTIME_CLASS(CTestNode))));
    ASSERT_TRUE(root);
    EXPECT_EQ(root->value, 7);
    ASSERT_EQ(root->kids.size(), 2u);
    EXPECT_EQ(root->kids[1]->ref, root->kids[0]);
    EXPECT_EQ(root->ref, root->kids[1]);
    EXPECT_EQ(in.BytesLeft(), 0u);
    EXPECT_EQ(in.GetMapCount(), 5u); // null + 4

    // Writing the same tree gives the same bytes.
    CArchive out;
    out.WriteObject(root.get());
    EXPECT_EQ(out.GetBuffer(), data);
}

TEST(Archive, ObjectTakesItsIndexBeforeItsRecord)
{
    // The root refers to itself (#2) from inside its own record.
    Bytes data = Append(NewNodeClass(), B({0, 0, 0, 0, 0, 0, 0x02, 0x00}));
    CArchive in(data);
    std::unique_ptr<CTestNode> root(static_cast<CTestNode*>(in.ReadNewObject(nullptr)));
    EXPECT_EQ(root->ref, root.get());
}

TEST(Archive, BigIndexForms)
{
    // 0x7FFF + LONG: a class reference 0x80000001 and an object reference 3.
    Bytes data = NewNodeClass();
    data = Append(data, B({0, 0, 0, 0, 1, 0}));                                 // root, one kid
    data = Append(data, B({0xFF, 0x7F, 0x01, 0x00, 0x00, 0x80, 5, 0, 0, 0, 0, 0})); // kid via big class tag
    data = Append(data, B({0xFF, 0x7F, 0x03, 0x00, 0x00, 0x00}));              // kid's ref: big object index 3
    data = Append(data, B({0x00, 0x00}));
    CArchive in(data);
    std::unique_ptr<CTestNode> root(static_cast<CTestNode*>(in.ReadNewObject(nullptr)));
    ASSERT_EQ(root->kids.size(), 1u);
    EXPECT_EQ(root->kids[0]->value, 5);
    EXPECT_EQ(root->kids[0]->ref, root->kids[0]);
}

TEST(Archive, WritesBigIndexFormsPastTheWordRange)
{
    // 0x7FFF entries and more: the class is #1, nodes take #2 onwards.
    CTestNode root;
    const int n = 0x8000;
    for (int i = 0; i < n; ++i) root.kids.push_back(new CTestNode);
    root.ref = root.kids.back(); // index n + 2 > 0x7FFF
    CArchive out;
    out.WriteObject(&root);
    const Bytes& b = out.GetBuffer();
    // Last child list entries use class #1 (0x8001), the reference the big form.
    Bytes tail(b.end() - 6, b.end());
    DWORD idx = static_cast<DWORD>(n + 1); // root is #2, kids #3 .. #n+2
    ++idx;
    EXPECT_EQ(tail, B({0xFF, 0x7F, int(idx & 0xFF), int((idx >> 8) & 0xFF), int((idx >> 16) & 0xFF), 0}));
    CArchive in(b);
    std::unique_ptr<CTestNode> back(static_cast<CTestNode*>(in.ReadNewObject(nullptr)));
    ASSERT_EQ(back->kids.size(), size_t(n));
    EXPECT_EQ(back->ref, back->kids.back());
}

TEST(Archive, FailuresRaiseTheirCause)
{
    using C = CArchiveException;
    struct Case { const char* what; Bytes data; C::Cause cause; };
    const Case cases[] = {
        {"empty", {}, C::endOfFile},
        {"unknown class", Append(B({0xFF, 0xFF, 1, 0, 4, 0}), Text("CNop")), C::badClass},
        {"wrong schema", Append(B({0xFF, 0xFF, 2, 0, 9, 0}), Text("CTestNode")), C::badSchema},
        {"not the kind asked for", Append(B({0xFF, 0xFF, 1, 0, 10, 0}), Text("CTestOther")), C::badClass},
        {"class name too long", Append(B({0xFF, 0xFF, 1, 0, 0x40, 0}), Bytes(64, 'A')), C::badClass},
        {"back reference where an owner is wanted", B({0x01, 0x00}), C::badIndex},
        {"class index out of range", B({0x05, 0x80}), C::badIndex},
        {"object index used as class", Append(NewNodeClass(), B({0, 0, 0, 0, 1, 0, 0x02, 0x80})), C::badIndex},
        {"reference beyond the map", Append(NewNodeClass(), B({0, 0, 0, 0, 0, 0, 0x09, 0x00})), C::badIndex},
        {"reference to a class", Append(NewNodeClass(), B({0, 0, 0, 0, 0, 0, 0x01, 0x00})), C::badIndex},
        {"new object where a reference is wanted", Append(NewNodeClass(), B({0, 0, 0, 0, 0, 0, 0x01, 0x80})),
         C::badClass},
        {"truncated record", Append(NewNodeClass(), B({1, 0})), C::endOfFile},
    };
    for (const Case& c : cases) EXPECT_EQ(CauseOf(c.data), c.cause) << c.what;
}

TEST(Archive, EveryTruncationRaisesAndLeaksNothing)
{
    CTestNode root;
    for (int i = 0; i < 3; ++i) {
        auto* k = new CTestNode;
        k->value = i;
        k->kids.push_back(new CTestNode);
        k->ref = &root;
        root.kids.push_back(k);
    }
    root.ref = root.kids[1]->kids[0];
    CArchive out;
    out.WriteObject(&root);
    const Bytes full = out.GetBuffer();
    for (size_t n = 0; n < full.size(); ++n) {
        Bytes cut(full.begin(), full.begin() + static_cast<long>(n));
        EXPECT_EQ(CauseOf(cut), CArchiveException::endOfFile) << n;
    }
    EXPECT_EQ(CauseOf(full), CArchiveException::none);
}

TEST(Archive, ReferenceToAnObjectThatFailedIsRefused)
{
    // Root with two kids: kid #3 fails (unknown class inside), the root's
    // reader swallows nothing, so the whole read fails; but a reader that
    // recovers must not be handed the dead kid later.
    class CRecovering : public CObject {
    public:
        static CObject* Read(CArchive& ar)
        {
            try {
                return ar.ReadNewObject(nullptr);
            } catch (const CArchiveException&) {
                return nullptr;
            }
        }
    };
    Bytes data = NewNodeClass();
    data = Append(data, B({0, 0, 0, 0, 1, 0})); // a node with one kid
    data = Append(data, B({0x02, 0x00}));       // kid: back reference to itself -> refused
    CArchive in(data);
    EXPECT_EQ(CRecovering::Read(in), nullptr);
    // Index #2 (the node that failed) is dead now.
    const Bytes more = Append(data, B({0x02, 0x00}));
    CArchive in2(more);
    EXPECT_EQ(CRecovering::Read(in2), nullptr);
    try {
        in2.ReadObjectRef(static_cast<const CRuntimeClass*>(nullptr));
        FAIL();
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::badIndex);
    }
}

TEST(Archive, DeepNestingIsRefused)
{
    Bytes data = NewNodeClass();
    data = Append(data, B({0, 0, 0, 0, 1, 0}));
    for (int i = 0; i < 1000; ++i) data = Append(data, B({0x01, 0x80, 0, 0, 0, 0, 1, 0}));
    EXPECT_EQ(CauseOf(data), CArchiveException::genericException);
}

TEST(Archive, StateTravelsWithTheArchive)
{
    CArchive a;
    CArchive b;
    EXPECT_EQ(a.GetVersion(), 0x20B8);
    a.SetVersion(2);
    a.SetTreeFlag();
    EXPECT_EQ(b.GetVersion(), 0x20B8);
    EXPECT_FALSE(b.PeekTreeFlag());
    EXPECT_TRUE(a.TakeTreeFlag());
    EXPECT_FALSE(a.TakeTreeFlag());
    EXPECT_FALSE(a.IsDocumentSerialization());
}

TEST(Archive, ResyncArchiveCases)
{
    const char* sep = "+_@TR#^)";
    struct Case { const char* what; std::string data; bool found; size_t consumed; };
    const Case cases[] = {
        {"at once", "+_@TR#^)xy", true, 8},
        {"after junk", "abc+_@TR#^)", true, 11},
        {"partial then whole: the breaking byte is not retried", "+_@+_@TR#^)", false, 11},
        {"partial, junk, whole", "+_@x+_@TR#^)", true, 12},
        {"missing", "+_@TR#^", false, 7},
        {"empty", "", false, 0},
    };
    for (const Case& c : cases) {
        CArchive ar(c.data.data(), c.data.size());
        EXPECT_EQ(ResyncArchive(ar, sep, 8), c.found) << c.what;
        EXPECT_EQ(ar.GetPosition(), c.consumed) << c.what;
    }
}

TEST(Archive, ResyncArchiveMatchesItsReference)
{
    // Random bytes drawn mostly from the separator's own, so that partial
    // matches, restarts and whole separators all occur; both searches must
    // agree on the result and on where they leave the archive.
    const char* sep = "+_@TR#^)";
    const char alphabet[] = "+_@TR#^)+_@x";
    std::mt19937 rng(7);
    for (int trial = 0; trial < 3000; ++trial) {
        std::string data(rng() % 40, ' ');
        for (char& c : data) c = alphabet[rng() % (sizeof alphabet - 1)];
        const int len = trial % 10 == 0 ? int(rng() % 9) : 8;   // 0 to 8 bytes of it
        CArchive fast(data.data(), data.size()), slow(data.data(), data.size());
        const size_t skip = data.empty() ? 0 : rng() % data.size();
        std::string ignored(skip, ' ');
        fast.Read(ignored.data(), skip);
        slow.Read(ignored.data(), skip);
        const bool a = ResyncArchive(fast, sep, len), b = ResyncArchiveReference(slow, sep, len);
        ASSERT_EQ(a, b) << data << " len " << len;
        ASSERT_EQ(fast.GetPosition(), slow.GetPosition()) << data << " len " << len;
    }
    CArchive storing;
    EXPECT_FALSE(ResyncArchive(storing, sep, 8));
    EXPECT_FALSE(ResyncArchiveReference(storing, sep, 8));
}

TEST(Archive, IndicesStayInStepPastAnUnknownClass)
{
    // #1 class CNop (unknown), #2 its object; the reader recovers by skipping
    // two bytes of record, then reads a node (#3 class, #4 node) that refers
    // to itself as #4.
    Bytes data = Append(B({0xFF, 0xFF, 1, 0, 4, 0}), Text("CNop"));
    data = Append(data, B({0xEE, 0xEE}));
    data = Append(data, NewNodeClass());
    data = Append(data, B({0, 0, 0, 0, 0, 0, 0x04, 0x00}));
    data = Append(data, B({0x01, 0x80}));
    CArchive in(data);
    EXPECT_THROW(in.ReadNewObject(nullptr), CArchiveException);
    BYTE skip[2];
    in.ReadExact(skip, 2);
    std::unique_ptr<CTestNode> node(static_cast<CTestNode*>(in.ReadNewObject(nullptr)));
    EXPECT_EQ(node->ref, node.get());
    // A second use of the unknown class fails as a bad class, not an index.
    try {
        in.ReadNewObject(nullptr);
        FAIL();
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::badClass);
    }
}

TEST(RuntimeClass, WeakStandInsGiveWayToTheRealClass)
{
    static const CRuntimeClass weak = {"CTestLater", 0, 0xFFFF, nullptr, "CObject"};
    static const CRuntimeClass real = {"CTestLater", 8, 4, nullptr, "CTestNode"};
    static const CRuntimeClass weak2 = {"CTestLater", 0, 0xFFFF, nullptr, "CObject"};
    EXPECT_TRUE(RegisterRuntimeClass(&weak, true));
    EXPECT_EQ(CRuntimeClass::FromName("CTestLater"), &weak);
    EXPECT_TRUE(RegisterRuntimeClass(&real));
    EXPECT_EQ(CRuntimeClass::FromName("CTestLater"), &real);
    EXPECT_FALSE(RegisterRuntimeClass(&weak2, true));
    EXPECT_EQ(CRuntimeClass::FromName("CTestLater"), &real);
}
