# Korvanel's web addresses and the translators' contact: THE ONE PLACE TO CHANGE THEM.
# They are written into the special texts (lang/texts/language_independent.txt) when the language table is built:
# 20 = English site, 21 = German site, 23/24 = the thanks pages under them, 25 = translation contact.
# The menus name the site by the host of the English site ("%s" in language text 75).
set(KORVANEL_SITE_EN "https://korvanel.example/")
set(KORVANEL_SITE_DE "https://korvanel.example/de/")
set(KORVANEL_TRANSLATION_CONTACT "translate@korvanel.example")
# The source repository's web address; the package metadata points at its files (the screenshot).
set(KORVANEL_SOURCE_REPOSITORY "https://code.korvanel.example/korvanel/korvanel")
