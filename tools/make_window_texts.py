#!/usr/bin/env python3
"""Writes the shipped window-text files resources/language/ORVTXT.GER, .ENG
and .FRA (Windows-1252, CR LF, sections and keys in the order the program
saves them).

The key set comes from the windows themselves: kandelo-window-texts exports
the built-in texts of every window the way a first start does. Each exported
key must have a row below whose built-in text matches the export; a window
text that changed or appeared without a translation stops the script.

    build/src/app/kandelo-window-texts /tmp/wt
    python3 tools/make_window_texts.py /tmp/wt/ORVTXT.GER
    python3 tools/make_window_texts.py --check   # shipped files match the table
"""
import os
import sys

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "language")

# (section, key): (built-in text, German, English, French)
T = {
    ("PopupMenu1", "SaveAs1"): ("save as", "Speichern unter ...", "Save as ...", "Enregistrer sous ..."),
    ("PopupMenu1", "Edit1"): ("edit", "Bearbeiten", "Edit", "Modifier"),

    ("TfBaseForm", "CAPTION"): ("Kandelo - Leuchtendatenbank", "Kandelo - Leuchtendatenbank",
                                "Kandelo - Luminaire database", "Kandelo - Base de donn\u00e9es de luminaires"),
    ("TfBaseForm", "CatBtn1"): ("enter multi-select mode", "Mehrfachauswahl", "Multi-select mode",
                                "S\u00e9lection multiple"),
    ("TfBaseForm", "CatBtn2"): ("leave multi-select mode", "Mehrfachauswahl beenden", "Leave multi-select mode",
                                "Quitter la s\u00e9lection multiple"),
    ("TfBaseForm", "CatBtn4"): ("Ausgabeart", "Ausgabeart", "Output type", "Type de sortie"),
    ("TfBaseForm", "CatBtn4Hint"): ("set up type of output", "Art der Ausgabe festlegen", "Set up type of output",
                                    "D\u00e9finir le type de sortie"),
    ("TfBaseForm", "CatPrintBtn"): ("Drucken", "Drucken", "Print", "Imprimer"),
    ("TfBaseForm", "CatPrintBtnHint"): ("print all selected items ", "Alle ausgew\u00e4hlten Eintr\u00e4ge drucken",
                                        "Print all selected items", "Imprimer tous les \u00e9l\u00e9ments choisis"),
    ("TfBaseForm", "DBNavigator0Hint"): ("Base", "Erster Eintrag", "First entry", "Premi\u00e8re entr\u00e9e"),
    ("TfBaseForm", "DBNavigator1Hint"): ("Up", "Vorheriger Eintrag", "Previous entry", "Entr\u00e9e pr\u00e9c\u00e9dente"),
    ("TfBaseForm", "DBNavigator2Hint"): ("Down", "N\u00e4chster Eintrag", "Next entry", "Entr\u00e9e suivante"),
    ("TfBaseForm", "DBNavigator3Hint"): ("Last", "Letzter Eintrag", "Last entry", "Derni\u00e8re entr\u00e9e"),
    ("TfBaseForm", "DBNavigator4Hint"): ("Add", "Eintrag hinzuf\u00fcgen", "Add entry", "Ajouter une entr\u00e9e"),
    ("TfBaseForm", "DBNavigator5Hint"): (None, "Dateien hinzuf\u00fcgen", "Add files", "Ajouter des fichiers"),
    ("TfBaseForm", "DBNavigator6Hint"): ("Extract", "Eintrag entfernen", "Remove entry", "Retirer l'entr\u00e9e"),
    ("TfBaseForm", "DBNavigator7Hint"): ("Edit", "Eintrag bearbeiten", "Edit entry", "Modifier l'entr\u00e9e"),
    ("TfBaseForm", "DBNavigator9Hint"): ("print a list of all or selected items",
                                         "Liste aller oder ausgew\u00e4hlter Eintr\u00e4ge drucken",
                                         "Print a list of all or selected items",
                                         "Imprimer la liste de toutes les entr\u00e9es ou de la s\u00e9lection"),
    ("TfBaseForm", "DBNavigator10Hint"): ("Copy", "Eintrag kopieren", "Copy entry", "Copier l'entr\u00e9e"),
    ("TfBaseForm", "FBtn1"): ("Exportieren", "Exportieren", "Export", "Exporter"),
    ("TfBaseForm", "FBtn1Hint"): ("Dateien in ein anderses Format exportieren",
                                  "Dateien in ein anderes Format exportieren", "Export files to another format",
                                  "Exporter les fichiers dans un autre format"),
    ("TfBaseForm", "gAdjBtn"): ("K312", "K312", "K312", "K312"),
    ("TfBaseForm", "GonioBtn"): ("Messung", "Messung", "Measurement", "Mesure"),
    ("TfBaseForm", "infobtn"): ("Auswertungen", "Auswertungen", "Evaluations", "\u00c9valuations"),
    ("TfBaseForm", "infobtnHint"): ("Leuchtenauswertungen anzeigen", "Leuchtenauswertungen anzeigen",
                                    "Show luminaire evaluations", "Afficher les \u00e9valuations du luminaire"),
    ("TfBaseForm", "Label1"): ("sortiert nach", "sortiert nach", "sorted by", "tri\u00e9 par"),
    ("TfBaseForm", "LangBtn"): ("Sprache", "Sprache", "Language", "Langue"),
    ("TfBaseForm", "LangBtnHint"): ("Sprache ausw\u00e4hlen", "Sprache ausw\u00e4hlen", "Select language",
                                    "Choisir la langue"),
    ("TfBaseForm", "LBtn1"): ("Liste leeren", "Liste leeren", "Clear list", "Vider la liste"),
    ("TfBaseForm", "LBtn1Hint"): ("clear all items ", "Alle Eintr\u00e4ge der Liste l\u00f6schen", "Clear all items",
                                  "Effacer tous les \u00e9l\u00e9ments"),
    ("TfBaseForm", "LBtn2"): ("Eintrag entfernen", "Eintrag entfernen", "Remove item", "Retirer l'\u00e9l\u00e9ment"),
    ("TfBaseForm", "LBtn2Hint"): ("remove current item from list", "Aktuellen Eintrag aus der Liste entfernen",
                                  "Remove current item from list", "Retirer l'\u00e9l\u00e9ment courant de la liste"),
    ("TfBaseForm", "NewLumBtn"): ("Neu", "Neu", "New", "Nouveau"),
    ("TfBaseForm", "NewLumBtnHint"): ("Neue Leuchtendatei erzeugen", "Neue Leuchtendatei erzeugen",
                                      "Create a new luminaire file", "Cr\u00e9er un nouveau fichier de luminaire"),
    ("TfBaseForm", "prtbtn"): ("Drucken", "Drucken", "Print", "Imprimer"),
    ("TfBaseForm", "prtbtnHint"): ("Ausdruck f\u00fcr aktuelle Leuchte erstellen",
                                   "Ausdruck f\u00fcr aktuelle Leuchte erstellen",
                                   "Print the current luminaire", "Imprimer le luminaire courant"),
    ("TfBaseForm", "QuitBtn"): ("Beenden", "Beenden", "Exit", "Quitter"),
    ("TfBaseForm", "QuitBtnHint"): ("Programm beenden ", "Programm beenden", "Exit the program",
                                    "Quitter le programme"),
    ("TfBaseForm", "SelBtn1"): ("Dateiliste verwalten", "Dateiliste verwalten", "Manage file list",
                                "G\u00e9rer la liste"),
    ("TfBaseForm", "SelBtn2"): ("Ausgaben erstellen", "Ausgaben erstellen", "Create output",
                                "Cr\u00e9er les sorties"),
    ("TfBaseForm", "SelBtn3"): ("Dateioperationen durchf\u00fchren", "Dateioperationen durchf\u00fchren",
                                "File operations", "Op\u00e9rations sur fichiers"),
    ("TfBaseForm", "SelHeader0"): ("file", "Datei", "File", "Fichier"),
    ("TfBaseForm", "SelHeader1"): ("Leuchtenbezeichnung", "Leuchtenbezeichnung", "Luminaire name",
                                   "D\u00e9signation du luminaire"),
    ("TfBaseForm", "SpeedButton1"): ("Einstellungen", "Einstellungen", "Settings", "R\u00e9glages"),
    ("TfBaseForm", "SpeedButton1Hint"): ("setup all program options", "Alle Programmeinstellungen festlegen",
                                         "Set up all program options", "R\u00e9gler toutes les options du programme"),
    ("TfBaseForm", "SpeedButton2"): ("Index", "Index", "Index", "Index"),
    ("TfBaseForm", "SpeedButton2Hint"): ("rebuild index files", "Indexdateien neu aufbauen", "Rebuild index files",
                                         "Reconstruire les fichiers d'index"),
    ("TfBaseForm", "SpeedButton3"): ("Alle hinzuf\u00fcgen", "Alle hinzuf\u00fcgen", "Add all", "Tout ajouter"),
    ("TfBaseForm", "SpeedButton3Hint"): ("Alle Leuchtendaten unterhalb des Stammverzeichnisses hinzuf\u00fcgen",
                                         "Alle Leuchtendaten unterhalb des Stammverzeichnisses hinzuf\u00fcgen",
                                         "Add all luminaire files below the root directory",
                                         "Ajouter tous les fichiers de luminaires sous le r\u00e9pertoire racine"),
    ("TfBaseForm", "SpeedButton4"): ("Alle l\u00f6schen", "Alle l\u00f6schen", "Delete all", "Tout supprimer"),
    ("TfBaseForm", "SpeedButton4Hint"): ("Alle Leuchten aus der DAtenbank l\u00f6schen",
                                         "Alle Leuchten aus der Datenbank l\u00f6schen",
                                         "Delete all luminaires from the database",
                                         "Supprimer tous les luminaires de la base"),
    ("TfBaseForm", "SpeedButton5"): ("Info", "Info", "About", "\u00c0 propos"),
    ("TfBaseForm", "SpeedButton5Hint"): ("Programminformation", "Programminformation", "Program information",
                                         "Informations sur le programme"),
    ("TfBaseForm", "TrBtn2"): ("Texte", "Texte", "Texts", "Textes"),
    ("TfBaseForm", "TrBtn2Hint"): ("Datenbanktexte \u00fcbersetzen", "Datenbanktexte \u00fcbersetzen",
                                   "Translate database texts", "Traduire les textes de la base"),
    ("TfBaseForm", "TRBtn3"): ("Meldungen", "Meldungen", "Messages", "Messages"),
    ("TfBaseForm", "TRBtn3Hint"): ("Texte f\u00fcr Auswertungen und Bildschirmmeldungen \u00fcbersetzen",
                                   "Texte f\u00fcr Auswertungen und Bildschirmmeldungen \u00fcbersetzen",
                                   "Translate texts of evaluations and messages",
                                   "Traduire les textes des \u00e9valuations et des messages"),

    ("TLangDlg", "CAPTION"): ("Select language", "Sprache ausw\u00e4hlen", "Select language", "Choisir la langue"),
    ("TLangDlg", "AbortBtn"): ("Abort", "Abbrechen", "Cancel", "Annuler"),
    ("TLangDlg", "Label1"): ("source language", "Ausgangssprache", "Source language", "Langue source"),
    ("TLangDlg", "Label2"): ("destination language", "Zielsprache", "Destination language", "Langue cible"),
    ("TLangDlg", "OkBtn"): ("OK", "OK", "OK", "OK"),
    ("TLangDlg", "TrBtn"): ("translate", "\u00dcbersetzen", "Translate", "Traduire"),
    ("TLangDlg", "TrBtnHint"): ("translate database texts", "Datenbanktexte \u00fcbersetzen",
                                "Translate database texts", "Traduire les textes de la base"),

    ("TConvertDlg", "CAPTION"): ("Datei-Konvertierung", "Datei-Konvertierung", "File conversion",
                                 "Conversion de fichiers"),
    ("TConvertDlg", "AddCheck"): ("konvertierte Daten zur Datenbank hinzuf\u00fcgen ?",
                                  "Konvertierte Daten zur Datenbank hinzuf\u00fcgen",
                                  "Add the converted files to the catalogue",
                                  "Ajouter les fichiers convertis au catalogue"),
    ("TConvertDlg", "CancelBtn"): ("Abbruch", "Abbruch", "Cancel", "Annuler"),
    ("TConvertDlg", "Label1"): ("Zielformat", "Zielformat", "Destination format", "Format cible"),
    ("TConvertDlg", "Label2"): ("Zielverzeichnis", "Zielverzeichnis", "Destination directory",
                                "R\u00e9pertoire cible"),
    ("TConvertDlg", "Label3"): ("Dateierweiterung", "Dateierweiterung", "File extension", "Extension des fichiers"),
    ("TConvertDlg", "OKBtn"): ("OK", "OK", "OK", "OK"),
    ("TConvertDlg", "SelDstBtn"): ("Auswahl", "Auswahl", "Browse", "Parcourir"),
    ("TConvertDlg", "TrBtn2"): ("translate", "\u00dcbersetzen", "Translate", "Traduire"),
    ("TConvertDlg", "TrBtn2Hint"): ("translate database texts", "Datenbanktexte \u00fcbersetzen",
                                    "Translate database texts", "Traduire les textes de la base"),

    ("TOutEditDlg", "CAPTION"): ("Ausgaben definieren ", "Ausgaben definieren", "Define outputs",
                                 "D\u00e9finir les sorties"),
    ("TOutEditDlg", "OutLabel"): ("Ausgaben", "Ausgaben", "Outputs", "Sorties"),
    ("TOutEditDlg", "PlaneLabel"): ("Ebenenauswahl", "Ebenenauswahl", "Plane selection", "Choix des plans"),
    ("TOutEditDlg", "IsoSideLabel"): ("Fl\u00e4chengr\u00f6\u00dfe (m)", "Fl\u00e4chengr\u00f6\u00dfe (m)",
                                      "Area side (m)", "C\u00f4t\u00e9 de la surface (m)"),
    ("TOutEditDlg", "IsoHeightLabel"): ("Lichtpunkth\u00f6he (m)", "Lichtpunkth\u00f6he (m)", "Mounting height (m)",
                                        "Hauteur de montage (m)"),
    ("TOutEditDlg", "IsoFluxLabel"): ("Gesamtlichtstrom (lm)", "Gesamtlichtstrom (lm)", "Total lamp flux (lm)",
                                      "Flux total des lampes (lm)"),
    ("TOutEditDlg", "KValueLabel"): ("K-Wert", "K-Wert", "K value", "Valeur K"),
    ("TOutEditDlg", "ConeLabel"): ("H\u00f6he", "H\u00f6he", "Height", "Hauteur"),
    ("TOutEditDlg", "SrtReflLabel"): ("Reflexionsgrade", "Reflexionsgrade", "Reflectances", "R\u00e9flexions"),
    ("TOutEditDlg", "SrtAreaLabel"): ("Raumgr\u00f6\u00dfen", "Raumgr\u00f6\u00dfen", "Room sizes",
                                      "Dimensions des locaux"),
    ("TOutEditDlg", "SrtHeightLabel"): ("Lichtpunkth\u00f6hen", "Lichtpunkth\u00f6hen", "Mounting heights",
                                        "Hauteurs de montage"),
    ("TOutEditDlg", "SrtHLabel"): ("H1 / H2 / H3 (m)", "H1 / H2 / H3 (m)", "H1 / H2 / H3 (m)", "H1 / H2 / H3 (m)"),
    ("TOutEditDlg", "SrtIllLabel"): ("E_nenn", "E_nenn", "Nominal illuminance", "\u00c9clairement nominal"),
    ("TOutEditDlg", "SrtELabel"): ("E1 / E2 / E3 (lx)", "E1 / E2 / E3 (lx)", "E1 / E2 / E3 (lx)",
                                   "E1 / E2 / E3 (lx)"),
    ("TOutEditDlg", "SrtMfLabel"): ("Verminderungsfaktor", "Verminderungsfaktor", "Maintenance factor",
                                    "Facteur de maintenance"),
    ("TOutEditDlg", "BbkDistLabel"): ("Entfernungen", "Entfernungen", "Distances", "Distances"),
    ("TOutEditDlg", "BbkHeightLabel"): ("Lichtpunkth\u00f6hen", "Lichtpunkth\u00f6hen", "Mounting heights",
                                        "Hauteurs de montage"),
    ("TOutEditDlg", "BbkHLabel"): ("H1 / H2 / H3 (m)", "H1 / H2 / H3 (m)", "H1 / H2 / H3 (m)", "H1 / H2 / H3 (m)"),
    ("TOutEditDlg", "BbkMfLabel"): ("Verminderungsfaktor", "Verminderungsfaktor", "Maintenance factor",
                                    "Facteur de maintenance"),
    ("TOutEditDlg", "EmergencyCheck"): ("Notbeleuchtung", "Notbeleuchtung", "Emergency lighting",
                                        "\u00c9clairage de secours"),
    ("TOutEditDlg", "OKBtn"): ("OK", "OK", "OK", "OK"),
    ("TOutEditDlg", "CancelBtn"): ("Abbruch", "Abbruch", "Cancel", "Annuler"),
    ("TOutEditDlg", "TrBtn2"): ("translate", "\u00dcbersetzen", "Translate", "Traduire"),
    ("TOutEditDlg", "TrBtn2Hint"): ("translate database texts", "Datenbanktexte \u00fcbersetzen",
                                    "Translate database texts", "Traduire les textes de la base"),

    ("TTransDlg", "CAPTION"): ("Translate", "Texte \u00fcbersetzen", "Translate texts", "Traduire les textes"),
    ("TTransDlg", "CancelBtn"): ("cancel", "Abbrechen", "Cancel", "Annuler"),
    ("TTransDlg", "Header10"): ("Origin", "Ausgangstext", "Origin", "Origine"),
    ("TTransDlg", "Header11"): ("Destination", "\u00dcbersetzung", "Destination", "Traduction"),
    ("TTransDlg", "Header12"): ("Item", "Element", "Item", "\u00c9l\u00e9ment"),
    ("TTransDlg", "Label1"): ("Filename", "Dateiname", "File name", "Nom du fichier"),
    ("TTransDlg", "OkBtn"): ("ok", "OK", "OK", "OK"),
    ("TTransDlg", "TabSet10"): ("caption text", "Beschriftungen", "Captions", "Libell\u00e9s"),
    ("TTransDlg", "TabSet11"): ("hint text", "Hinweise", "Hints", "Infobulles"),
}


def read_ini(path):
    sections, cur = {}, None
    with open(path, "rb") as fh:
        for raw in fh.read().decode("cp1252").splitlines():
            if raw.startswith("[") and raw.strip("[]"):
                cur = raw[1:].split("]")[0]
                sections[cur] = {}
            elif cur is not None and "=" in raw:
                k, v = raw.split("=", 1)
                sections[cur][k] = v
    return sections


def ini_bytes(sections):
    lines = []
    for sec in sorted(sections, key=str.lower):
        lines.append("[%s]" % sec)
        for key in sorted(sections[sec], key=str.lower):
            lines.append("%s=%s" % (key, sections[sec][key]))
    return ("\r\n".join(lines) + "\r\n").encode("cp1252")


def files():
    for column, ext in ((1, "GER"), (2, "ENG"), (3, "FRA")):
        out = {}
        for (sec, key), row in T.items():
            out.setdefault(sec, {})[key] = row[column]
        yield os.path.join(OUT, "ORVTXT." + ext), ini_bytes(out)


def main(argv):
    if len(argv) != 2:
        print(__doc__)
        return 2
    if argv[1] == "--check":
        stale = [p for p, data in files() if not os.path.exists(p) or open(p, "rb").read() != data]
        for p in stale:
            print("out of date: " + p, file=sys.stderr)
        return 1 if stale else 0
    exported = read_ini(argv[1])
    problems = []
    for sec, keys in exported.items():
        for key, text in keys.items():
            row = T.get((sec, key))
            if row is None:
                problems.append("no translation for [%s] %s=%s" % (sec, key, text))
            elif row[0] is not None and row[0] != text:
                problems.append("built-in text changed: [%s] %s=%s (table: %s)" % (sec, key, text, row[0]))
    if problems:
        print("\n".join(problems), file=sys.stderr)
        return 1
    for path, data in files():
        with open(path, "wb") as fh:
            fh.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
