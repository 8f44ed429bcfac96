// The administrative templates that ship beside the program (PolicyDefinitions\Brisfold.admx and its
// en-US and de-DE language files), parsed with the system's XML reader: every policy names a key and a
// value that the program reads, with the type and range of its settings table; every setting has its
// policy; every text and presentation the template names is in each language file.
#include "common/Settings.h"
#include "common/TextCompare.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <shlwapi.h>
#include <xmllite.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

struct TXmlNode {
    std::wstring Name;
    std::map<std::wstring, std::wstring> Attributes;
    std::vector<std::unique_ptr<TXmlNode>> Children;
    std::wstring Text;

    std::wstring Attribute(const std::wstring& name) const
    {
        const auto found = Attributes.find(name);
        return found == Attributes.end() ? std::wstring() : found->second;
    }
    bool Has(const std::wstring& name) const { return Attributes.count(name) != 0; }
    const TXmlNode* Child(const std::wstring& name) const
    {
        for (const auto& child : Children)
            if (child->Name == name)
                return child.get();
        return nullptr;
    }
    std::vector<const TXmlNode*> All(const std::wstring& name) const
    {
        std::vector<const TXmlNode*> found;
        for (const auto& child : Children) {
            if (child->Name == name)
                found.push_back(child.get());
            for (const TXmlNode* below : child->All(name))
                found.push_back(below);
        }
        return found;
    }
};

template <typename T>
struct TComRelease {
    void operator()(T* p) const
    {
        if (p)
            p->Release();
    }
};

// The whole document as a tree of elements (local names), read with XmlLite; nullptr when it is not
// well-formed XML (the failure is reported).
std::unique_ptr<TXmlNode> ReadXml(const std::wstring& path)
{
    using TCreateXmlReader = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);
    static const HMODULE library = LoadLibraryW(L"xmllite.dll");
    const auto create = library ? reinterpret_cast<TCreateXmlReader>(
                                      reinterpret_cast<void*>(GetProcAddress(library, "CreateXmlReader")))
                                : nullptr;
    if (!create) {
        ADD_FAILURE() << "the system's XML reader (xmllite.dll) is missing";
        return nullptr;
    }
    IStream* rawStream = nullptr;
    HRESULT hr = SHCreateStreamOnFileW(path.c_str(), STGM_READ | STGM_SHARE_DENY_WRITE, &rawStream);
    std::unique_ptr<IStream, TComRelease<IStream>> stream(rawStream);
    if (FAILED(hr)) {
        ADD_FAILURE() << Narrow(path) << " cannot be opened: 0x" << std::hex << hr;
        return nullptr;
    }
    IXmlReader* rawReader = nullptr;
    hr = create(__uuidof(IXmlReader), reinterpret_cast<void**>(&rawReader), nullptr);
    std::unique_ptr<IXmlReader, TComRelease<IXmlReader>> reader(rawReader);
    if (FAILED(hr)) {
        ADD_FAILURE() << "no XML reader: 0x" << std::hex << hr;
        return nullptr;
    }
    reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit);
    reader->SetInput(stream.get());

    auto document = std::make_unique<TXmlNode>();
    std::vector<TXmlNode*> open{document.get()};
    XmlNodeType type = XmlNodeType_None;
    while ((hr = reader->Read(&type)) == S_OK) {
        if (type == XmlNodeType_Element) {
            const bool empty = reader->IsEmptyElement();
            const wchar_t* name = nullptr;
            reader->GetLocalName(&name, nullptr);
            auto node = std::make_unique<TXmlNode>();
            node->Name = name;
            for (HRESULT at = reader->MoveToFirstAttribute(); at == S_OK; at = reader->MoveToNextAttribute()) {
                const wchar_t* attribute = nullptr;
                const wchar_t* value = nullptr;
                reader->GetLocalName(&attribute, nullptr);
                reader->GetValue(&value, nullptr);
                node->Attributes[attribute] = value;
            }
            TXmlNode* added = node.get();
            open.back()->Children.push_back(std::move(node));
            if (!empty)
                open.push_back(added);
        } else if (type == XmlNodeType_EndElement) {
            open.pop_back();
        } else if (type == XmlNodeType_Text || type == XmlNodeType_CDATA) {
            const wchar_t* value = nullptr;
            reader->GetValue(&value, nullptr);
            open.back()->Text += value;
        }
    }
    if (FAILED(hr)) {
        UINT line = 0;
        reader->GetLineNumber(&line);
        ADD_FAILURE() << Narrow(path) << " is not well-formed XML (0x" << std::hex << hr << std::dec << ", line "
                      << line << ")";
        return nullptr;
    }
    return document;
}

std::wstring TemplatesFolder()
{
    wchar_t buffer[MAX_PATH];
    const std::wstring path(buffer, GetModuleFileNameW(nullptr, buffer, MAX_PATH));
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"PolicyDefinitions\\";
}

// "$(string.Name)" -> "Name" for the kind ("string", "presentation"); empty for anything else.
std::wstring Reference(const std::wstring& text, const std::wstring& kind)
{
    const std::wstring start = L"$(" + kind + L".";
    if (text.rfind(start, 0) != 0 || text.back() != L')')
        return {};
    return text.substr(start.size(), text.size() - start.size() - 1);
}

int Number(const std::wstring& text)
{
    return text.empty() ? -1 : std::stoi(text);
}

class PolicyTemplates : public ::testing::Test {
protected:
    void SetUp() override
    {
        Admx = ReadXml(TemplatesFolder() + L"Brisfold.admx");
        ASSERT_TRUE(Admx);
        Root = Admx->Child(L"policyDefinitions");
        ASSERT_NE(Root, nullptr);
    }
    std::vector<const TXmlNode*> Policies() const { return Root->All(L"policy"); }

    std::unique_ptr<TXmlNode> Admx;
    const TXmlNode* Root = nullptr;
};

} // namespace

TEST_F(PolicyTemplates, EveryPolicyNamesASettingTheProgramReads)
{
    const std::wstring prefix = std::wstring(kPolicyKey) + L"\\";
    std::map<int, std::wstring> covered; // table row -> policy
    std::set<std::wstring> categories;
    for (const TXmlNode* category : Root->All(L"category"))
        categories.insert(category->Attribute(L"name"));

    for (const TXmlNode* policy : Policies()) {
        const std::wstring name = policy->Attribute(L"name");
        SCOPED_TRACE(Narrow(name));
        // Both roots are read: the machine's and the user's.
        EXPECT_EQ(Narrow(policy->Attribute(L"class")), "Both");
        const std::wstring key = policy->Attribute(L"key");
        ASSERT_TRUE(StartsWithText(key, prefix)) << Narrow(key);
        const std::wstring section = key.substr(prefix.size());
        const TXmlNode* parent = policy->Child(L"parentCategory");
        ASSERT_NE(parent, nullptr);
        EXPECT_TRUE(categories.count(parent->Attribute(L"ref"))) << Narrow(parent->Attribute(L"ref"));

        const TXmlNode* elements = policy->Child(L"elements");
        const TXmlNode* element = elements && !elements->Children.empty() ? elements->Children.front().get() : nullptr;
        const std::wstring valueName = element ? element->Attribute(L"valueName") : policy->Attribute(L"valueName");
        const TSettingRule* rule = FindSettingRule(section, valueName);
        ASSERT_NE(rule, nullptr) << "the program reads no " << Narrow(section) << "\\" << Narrow(valueName);
        // Exact spelling: a policy editor writes the names as the template gives them.
        EXPECT_EQ(Narrow(section), Narrow(rule->Section));
        EXPECT_EQ(Narrow(valueName), Narrow(rule->Key));
        EXPECT_TRUE(covered.emplace(SettingIndex(*rule), name).second)
            << "also set by " << Narrow(covered[SettingIndex(*rule)]);

        switch (rule->Type) {
        case TSettingType::Switch: {
            // On and off as the program reads a switch: REG_DWORD 1 and 0.
            EXPECT_EQ(elements, nullptr);
            const TXmlNode* on = policy->Child(L"enabledValue");
            const TXmlNode* off = policy->Child(L"disabledValue");
            ASSERT_TRUE(on && on->Child(L"decimal") && off && off->Child(L"decimal"));
            EXPECT_EQ(Number(on->Child(L"decimal")->Attribute(L"value")), 1);
            EXPECT_EQ(Number(off->Child(L"decimal")->Attribute(L"value")), 0);
            break;
        }
        case TSettingType::Number:
            ASSERT_NE(element, nullptr);
            EXPECT_EQ(Narrow(element->Name), "decimal");
            EXPECT_EQ(Number(element->Attribute(L"minValue")), rule->Min);
            EXPECT_EQ(Number(element->Attribute(L"maxValue")), rule->Max);
            break;
        case TSettingType::Text:
            ASSERT_NE(element, nullptr);
            // A plain text, REG_SZ: an expandable one would be written as REG_EXPAND_SZ, which is ignored.
            EXPECT_EQ(Narrow(element->Name), "text");
            EXPECT_FALSE(element->Has(L"expandable")) << "REG_EXPAND_SZ is not read";
            EXPECT_EQ(Number(element->Attribute(L"maxLength")), rule->Max);
            break;
        }
    }
    for (int i = 0; i < kSettingCount; ++i)
        EXPECT_TRUE(covered.count(i)) << "no policy sets " << Narrow(kSettingRules[i].Section) << "\\"
                                      << Narrow(kSettingRules[i].Key);
}

TEST_F(PolicyTemplates, EachLanguageFileHoldsEveryTextTheTemplateNames)
{
    std::set<std::wstring> strings;
    std::map<std::wstring, std::set<std::wstring>> presentations; // presentation -> element ids
    std::function<void(const TXmlNode&)> collect = [&](const TXmlNode& node) {
        for (const auto& [attribute, value] : node.Attributes)
            if (const std::wstring id = Reference(value, L"string"); !id.empty())
                strings.insert(id);
        for (const auto& child : node.Children)
            collect(*child);
    };
    collect(*Root);
    for (const TXmlNode* policy : Policies()) {
        const std::wstring presentation = Reference(policy->Attribute(L"presentation"), L"presentation");
        if (presentation.empty())
            continue;
        const TXmlNode* elements = policy->Child(L"elements");
        ASSERT_NE(elements, nullptr) << Narrow(presentation);
        for (const auto& element : elements->Children)
            presentations[presentation].insert(element->Attribute(L"id"));
    }
    ASSERT_FALSE(strings.empty());

    for (const wchar_t* language : {L"en-US", L"de-DE"}) {
        SCOPED_TRACE(Narrow(language));
        const auto adml = ReadXml(TemplatesFolder() + language + L"\\Brisfold.adml");
        ASSERT_TRUE(adml);
        const TXmlNode* resources = adml->Child(L"policyDefinitionResources");
        ASSERT_NE(resources, nullptr);
        std::map<std::wstring, std::wstring> texts;
        for (const TXmlNode* text : resources->All(L"string"))
            texts[text->Attribute(L"id")] = text->Text;
        for (const std::wstring& id : strings)
            EXPECT_FALSE(texts[id].empty()) << "no text " << Narrow(id);
        std::map<std::wstring, const TXmlNode*> shown;
        for (const TXmlNode* presentation : resources->All(L"presentation"))
            shown[presentation->Attribute(L"id")] = presentation;
        for (const auto& [id, elementIds] : presentations) {
            ASSERT_TRUE(shown.count(id)) << "no presentation " << Narrow(id);
            std::set<std::wstring> refs;
            for (const auto& control : shown[id]->Children)
                refs.insert(control->Attribute(L"refId"));
            EXPECT_EQ(refs, elementIds) << Narrow(id);
        }
    }
}
