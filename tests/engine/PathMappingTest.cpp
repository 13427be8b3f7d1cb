#include <gtest/gtest.h>

#include <optional>

#include "PathMapping.h"

TEST(PathMappingTest, BothRulesMapByTheTextAlone) {
    enum Rule { System, Music };
    struct Case {
        Rule rule;
        std::string argument;
        std::optional<std::string> result;  // nullopt: the system rule has none
    };
    const Case cases[] = {
        {System, "\\\\SRV01\\C\\Tavix\\", "C:\\Tavix\\"},
        {System, "\\\\SRV01\\D\\Programas\\Tavix\\", "D:\\Programas\\Tavix\\"},
        {System, "\\\\SRV01\\Dados\\Tavix\\", "D:ados\\Tavix\\"},
        {System, "\\\\SRV01\\D$\\Tavix\\", "D:$\\Tavix\\"},
        {System, "\\\\SRV01\\C\\", "C:\\"},
        {System, "\\\\SRV01\\C", "C:"},
        {System, "\\\\SRV01\\C\\Tavix", "C:\\Tavix"},
        {System, "C:\\Tavix\\", "T:avix\\"},
        {System, "\\\\SRV01", "S:RV01"},
        {System, "\\\\SRV01\\D\\Musicas\\", "D:\\Musicas\\"},
        {System, "\\\\srv01\\d\\Musicas\\Pop\\", "d:\\Musicas\\Pop\\"},
        {System, "\\\\SRV01\\", std::nullopt},
        {System, "ab", std::nullopt},
        {System, "", std::nullopt},
        {Music, "\\\\SRV01\\D\\Musicas\\Rock\\", "D:\\Musicas\\Rock\\"},
        {Music, "\\\\SRV01\\D\\Musicas\\Rock", "D:\\Musicas\\"},
        {Music, "\\\\SRV01\\D\\Musicas\\Rock\\faixa.mp3", "D:\\Musicas\\Rock\\"},
        {Music, "\\\\SRV01\\Musicas\\Rock\\", "Musicas:\\Rock\\"},
        {Music, "\\\\SRV01\\D$\\Musicas\\", "D$:\\Musicas\\"},
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
    try {
        MapServerFolder("\\\\SERVER\\");
        FAIL() << "no error";
    } catch (const MappingError& error) {
        const std::string text = error.what();
        EXPECT_NE(text.find("PASTA_SISTEMA"), std::string::npos) << text;
        EXPECT_NE(text.find("\"\\\\SERVER\\\""), std::string::npos) << text;
    }
}
