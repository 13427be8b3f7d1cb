#include <gtest/gtest.h>

#include <optional>

#include "engine/PathMapping.h"

TEST(PathMappingTest, BothRulesMapByTheTextAlone) {
    enum Rule { System, Music };
    struct Case {
        Rule rule;
        std::string argument;
        std::optional<std::string> result;  // nullopt: the system rule refuses it
    };
    const Case cases[] = {
        {System, "\\\\SRV01\\C\\Tavix\\", "C:\\Tavix\\"},
        {System, "\\\\SRV01\\D\\Programas\\Tavix\\", "D:\\Programas\\Tavix\\"},
        // An administrative share is the drive of its letter; any other name is no drive.
        {System, "\\\\SRV01\\D$\\Tavix\\", "D:\\Tavix\\"},
        {System, "\\\\SRV01\\d$\\Tavix\\", "d:\\Tavix\\"},
        {System, "\\\\SRV01\\C$", "C:"},
        {System, "\\\\SRV01\\Dados\\Tavix\\", std::nullopt},
        {System, "\\\\SRV01\\D$$\\Tavix\\", std::nullopt},
        {System, "\\\\SRV01\\1\\Tavix\\", std::nullopt},
        {System, "\\\\SRV01\\$\\Tavix\\", std::nullopt},
        {System, "\\\\SRV01\\\\Tavix\\", std::nullopt},
        {System, "\\\\SRV01\\C\\", "C:\\"},
        {System, "\\\\SRV01\\C", "C:"},
        {System, "\\\\SRV01\\C\\Tavix", "C:\\Tavix"},
        {System, "C:\\Tavix\\", std::nullopt},
        {System, "\\\\SRV01", std::nullopt},
        {System, "\\\\SRV01\\D\\Musicas\\", "D:\\Musicas\\"},
        {System, "\\\\srv01\\d\\Musicas\\Pop\\", "d:\\Musicas\\Pop\\"},
        {System, "\\\\SRV01\\", std::nullopt},
        {System, "ab", std::nullopt},
        {System, "", std::nullopt},
        {Music, "\\\\SRV01\\D\\Musicas\\Rock\\", "D:\\Musicas\\Rock\\"},
        {Music, "\\\\SRV01\\D\\Musicas\\Rock", "D:\\Musicas\\"},
        {Music, "\\\\SRV01\\D\\Musicas\\Rock\\faixa.mp3", "D:\\Musicas\\Rock\\"},
        {Music, "\\\\SRV01\\Musicas\\Rock\\", "Musicas:\\Rock\\"},
        {Music, "\\\\SRV01\\D$\\Musicas\\", "D:\\Musicas\\"},
        {Music, "\\\\SRV01\\Dados$\\Musicas\\", "Dados$:\\Musicas\\"},
        {Music, "\\\\srv01\\d\\Musicas\\Pop\\", "d:\\Musicas\\Pop\\"},
        {Music, "\\\\SRV01\\D\\", "D:\\"},
        {Music, "\\\\SRV01\\D", ":D"},
        {Music, "\\\\SRV01", ":SRV01"},
        {Music, "D:\\Musicas\\Rock\\", "Musicas:\\Rock\\"},
        {Music, "\\\\SRV01\\D\\Musicas\\", "D:\\Musicas\\"},
        {Music, "\\\\SRV01\\D\\Minhas Musicas\\ Rock \\", "D:\\Minhas Musicas\\ Rock \\"},
        {Music, "ab", ":"},
        {Music, "", ":"},
    };
    for (const Case& c : cases) {
        if (c.rule == Music) {
            EXPECT_EQ(MapMusicFolder(c.argument), c.result) << c.argument;
        } else if (c.result) {
            EXPECT_EQ(MapServerFolder(c.argument), *c.result) << c.argument;
        } else {
            EXPECT_THROW(MapServerFolder(c.argument), MappingError) << c.argument;
        }
    }
}

TEST(PathMappingTest, AnUnusableSystemFolderIsReportedWithItsSettingAndValue) {
    struct Case {
        std::string setting;
        std::string named;  // what the text names besides the setting and its value
    };
    const Case cases[] = {{"\\\\SERVER\\", "não indica uma pasta no servidor"},
                          {"\\\\SERVER\\Dados\\Tavix\\", "\"Dados\""}};
    for (const Case& c : cases) {
        try {
            MapServerFolder(c.setting);
            ADD_FAILURE() << "no error for " << c.setting;
        } catch (const MappingError& error) {
            const std::string text = error.what();
            EXPECT_NE(text.find("PASTA_SISTEMA"), std::string::npos) << text;
            EXPECT_NE(text.find("\"" + c.setting + "\""), std::string::npos) << text;
            EXPECT_NE(text.find(c.named), std::string::npos) << text;
        }
    }
}
