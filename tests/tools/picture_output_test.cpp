// picture_output_test.cpp — the temporary file of a picture is made new: a
// file, folder or link planted under its name is left as it was, another
// name is taken, and the picture arrives whole.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/temp_root.h"
#include "tools/pxcm/picture_output.h"

namespace {

namespace fs = std::filesystem;

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(PictureOutput, ANamePlantedUnderTheTemporaryNameIsLeftAndAnotherTaken) {
    testsupport::TempRoot root;
    std::vector<std::uint8_t> pixels(16 * 8 * 3);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 7);
    const PictureRows rows{16, 8, pixels.data(), 16 * 3, false};
    enum Plant { LINK_TO_A_FILE, LINK_TO_NOWHERE, A_FILE, A_FOLDER };
    for (const pxcm::PictureFormat format : {pxcm::PictureFormat::Png, pxcm::PictureFormat::Bmp}) {
        std::string error;
        const std::string reference = root.file("reference");
        ASSERT_EQ(pxcm::writePictureFile(reference, rows, format, false, &error),
                  pxcm::FileOutcome::Written)
            << error;
        for (const Plant plant : {LINK_TO_A_FILE, LINK_TO_NOWHERE, A_FILE, A_FOLDER}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(format)) + "/" + std::to_string(plant));
            const std::string folder = root.file("out" + std::to_string(plant) + "-" +
                                                 std::to_string(static_cast<int>(format)));
            fs::create_directories(folder);
            const std::string planted = folder + "/.picture-1.00000001.part";
            const std::string victim = root.file("victim");
            root.write("victim", "keep");
            fs::remove(root.file("nowhere"));
            switch (plant) {
                case LINK_TO_A_FILE:
                    ASSERT_EQ(symlink(victim.c_str(), planted.c_str()), 0);
                    break;
                case LINK_TO_NOWHERE:
                    ASSERT_EQ(symlink(root.file("nowhere").c_str(), planted.c_str()), 0);
                    break;
                case A_FILE:
                    std::ofstream(planted) << "theirs";
                    break;
                case A_FOLDER:
                    fs::create_directory(planted);
                    break;
            }
            std::uint32_t tag = 0;
            const auto outcome = pxcm::writePictureFile(folder + "/picture-1", rows, format, false,
                                                        &error, [&] { return ++tag; });
            ASSERT_EQ(outcome, pxcm::FileOutcome::Written) << error;
            EXPECT_EQ(tag, 2u) << "one name tried past the planted one";
            EXPECT_EQ(slurp(folder + "/picture-1"), slurp(reference));
            EXPECT_EQ(slurp(victim), "keep");
            EXPECT_FALSE(fs::exists(fs::symlink_status(root.file("nowhere"))));
            const fs::file_status left = fs::symlink_status(planted);
            EXPECT_EQ(left.type(), plant == A_FILE     ? fs::file_type::regular
                                   : plant == A_FOLDER ? fs::file_type::directory
                                                       : fs::file_type::symlink);
            if (plant == A_FILE) {
                EXPECT_EQ(slurp(planted), "theirs");
            }
            std::size_t entries = 0;
            for (const auto& e : fs::directory_iterator(folder)) entries += e.path() != planted;
            EXPECT_EQ(entries, 1u) << "the picture, and no temporary file left";
        }
        fs::remove(reference);
    }
}

}  // namespace
