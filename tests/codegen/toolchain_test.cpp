// The generated code must build with real tools and hold exactly the bytes of the binary file:
// the C text through the system C compiler, the assembler text through nasm.
#include "codegen/binary_file.h"
#include "codegen/code_text.h"
#include "codegen_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tgw {
namespace {

namespace fs = std::filesystem;

class Toolchain : public ::testing::Test {
protected:
    void SetUp() override {
        // Awkward sizes, every comment form, and user text that tries to leave its comment.
        const struct {
            char16_t code;
            int width, height;
        } chars[] = {{u'A', 1, 1},  {u'中', 7, 9},   {u'가', 9, 7},
                     {u'€', 17, 3}, {u'\n', 16, 16}, {u'\\', 33, 5}};
        uint32_t seed = 1;
        for (const auto& c : chars)
            test::addChar(m_list, c.code, test::noise(c.width, c.height, seed++));
        test::add<CStringEntry>(m_list, test::noise(5, 3, seed++),
                                u"one\r\n*/ int x = 1; /*\ntwo\\", false, test::gb16());
        test::add<CPictureEntry>(m_list, test::noise(3, 11, seed++), u"/tmp/a*/b\nc.png", 184);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    CEncodingOptions options(int dotOrder, int byteOrder, bool assembler) const {
        CEncodingOptions o;
        o.set(dotOrder, byteOrder, assembler, byteOrder % 2,
              assembler ? u"; %MATRIXCODE_HEAD_FONT%\r\n" : u"/* %MATRIXCODE_HEAD_FONT%*/\r\n",
              assembler ? u"; --\r\n" : u"/* -- */\r\n");
        return o;
    }
    void put(const std::string& name, int dotOrder, int byteOrder, bool assembler) const {
        auto text = codeText(m_list, options(dotOrder, byteOrder, assembler));
        ASSERT_TRUE(text) << text.error();
        std::ofstream(m_dir / name, std::ios::binary) << *text;
    }
    void expectBytes(const std::string& file, int dotOrder, int byteOrder) const {
        EXPECT_EQ(test::readFile(m_dir / file),
                  *binaryFile(m_list, options(dotOrder, byteOrder, false), false))
            << "dot order " << dotOrder << ", byte order " << byteOrder;
    }
    // Runs a command in the test folder; its output is shown when it fails.
    bool run(const std::string& command) const {
        const fs::path log = m_dir / "log.txt";
        const std::string line = "cd '" + m_dir.string() + "' && " + command + " >log.txt 2>&1";
        if (std::system(line.c_str()) == 0)
            return true;
        ADD_FAILURE() << command << "\n" << test::readFile(log);
        return false;
    }

    test::CNoRasteriser m_none;
    CGlyphList m_list{m_none};
    fs::path m_dir = test::makeTempFolder();
};

TEST_F(Toolchain, CompiledCArraysEqualTheBinaryFile) {
    std::string arrays, body;
    for (int d = 0; d < 4; ++d)
        for (int b = 0; b < 8; ++b) {
            const std::string name = "m" + std::to_string(d) + std::to_string(b);
            put(name + ".inc", d, b, false);
            arrays += "static const unsigned char " + name + "[] = {\n#include \"" + name +
                      ".inc\"\n};\n";
            body += "    f = fopen(\"" + name + ".out\", \"wb\");\n    fwrite(" + name +
                    ", 1, sizeof " + name + ", f);\n    fclose(f);\n";
        }
    std::ofstream(m_dir / "main.c") << "#include <stdio.h>\n"
                                    << arrays << "int main(void) {\n    FILE* f;\n"
                                    << body << "    return 0;\n}\n";
    ASSERT_TRUE(run("cc -std=c99 -pedantic -o arrays main.c && ./arrays"));
    for (int d = 0; d < 4; ++d)
        for (int b = 0; b < 8; ++b)
            expectBytes("m" + std::to_string(d) + std::to_string(b) + ".out", d, b);
}

TEST_F(Toolchain, AssembledBytesEqualTheBinaryFile) {
    for (int d = 0; d < 4; ++d)
        for (int b = 0; b < 8; ++b) {
            put("m.asm", d, b, true);
            ASSERT_TRUE(run("nasm -f bin -o m.out m.asm"));
            expectBytes("m.out", d, b);
        }
}

} // namespace
} // namespace tgw
