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

    ("Tdbedform", "B2CBtn"): ("B --> C", "B --> C", "B --> C", "B --> C"),
    ("Tdbedform", "BitBtn1"): ("OK", "OK", "OK", "OK"),
    ("Tdbedform", "BitBtn2"): ("Abbruch", "Abbruch", "Cancel", "Annuler"),
    ("Tdbedform", "Button1"): ("Umrechnen", "Umrechnen", "Convert", "Convertir"),
    ("Tdbedform", "CAPTION"): ("Leuchtendaten-Editor", "Leuchtendaten-Editor", "Luminaire data editor", "\u00c9diteur des donn\u00e9es du luminaire"),
    ("Tdbedform", "EdRB1"): ("Betriebslichtst\u00e4rke [ cd / klm ]", "Betriebslichtst\u00e4rke [ cd / klm ]", "Intensity [ cd / klm ]", "Intensit\u00e9 [ cd / klm ]"),
    ("Tdbedform", "edRB2"): ("Lichtst\u00e4rke [ cd ]", "Lichtst\u00e4rke [ cd ]", "Intensity [ cd ]", "Intensit\u00e9 [ cd ]"),
    ("Tdbedform", "edRB3"): ("Beleuchtungsst\u00e4rke [ lx ]", "Beleuchtungsst\u00e4rke [ lx ]", "Illuminance [ lx ]", "\u00c9clairement [ lx ]"),
    ("Tdbedform", "EdTabs0"): ("Allgemein", "Allgemein", "General", "G\u00e9n\u00e9ral"),
    ("Tdbedform", "EdTabs1"): ("LVK-Tabelle", "LVK-Tabelle", "Intensity table", "Tableau des intensit\u00e9s"),
    ("Tdbedform", "EdTabs2"): ("Koordinatensystem", "Koordinatensystem", "Coordinate system", "Syst\u00e8me de coordonn\u00e9es"),
    ("Tdbedform", "fedBtn"): ("...", "...", "...", "..."),
    ("Tdbedform", "fedBtnHint"): ("Leuchtendatei als Text ansehen / bearbeiten", "Leuchtendatei als Text ansehen / bearbeiten", "View / edit the luminaire file as text", "Afficher / modifier le fichier en texte"),
    ("Tdbedform", "GroupBox1"): ("Best\u00fcckung(en)", "Best\u00fcckung(en)", "Lamp sets", "\u00c9quipement(s)"),
    ("Tdbedform", "GroupBox2"): (" Werte editieren als ", " Werte editieren als ", " Edit values as ", " Modifier les valeurs en "),
    ("Tdbedform", "GroupBox3"): (" Rotationen ", " Rotationen ", " Rotations ", " Rotations "),
    ("Tdbedform", "GroupBox4"): (" Symmetrie ", " Symmetrie ", " Symmetry ", " Sym\u00e9trie "),
    ("Tdbedform", "GroupBox5"): ("Betriebswirkungsgrad", "Betriebswirkungsgrad", "Light output ratio", "Rendement"),
    ("Tdbedform", "Label1"): ("Leuchtendatei", "Leuchtendatei", "Luminaire file", "Fichier du luminaire"),
    ("Tdbedform", "Label10"): ("Nr", "Nr", "No.", "Nb"),
    ("Tdbedform", "Label11"): ("Lampentyp", "Lampentyp", "Lamp type", "Type de lampe"),
    ("Tdbedform", "Label12"): ("Phi-ges.", "Phi-ges.", "Total flux", "Flux total"),
    ("Tdbedform", "Label13"): ("Wattage", "Wattage", "Wattage", "Puissance"),
    ("Tdbedform", "Label14"): ("Leuchtenabmessungen /mm", "Leuchtenabmessungen /mm", "Luminaire dimensions /mm", "Dimensions du luminaire /mm"),
    ("Tdbedform", "Label15"): ("Abmessungen / leuchtende Fl\u00e4che ", "Abmessungen / leuchtende Fl\u00e4che ", "Luminous area /mm", "Surface lumineuse /mm"),
    ("Tdbedform", "Label16"): ("L/D", "L/D", "L/D", "L/D"),
    ("Tdbedform", "Label17"): ("B", "B", "W", "l"),
    ("Tdbedform", "Label18"): ("H", "H", "H", "H"),
    ("Tdbedform", "Label19"): ("Symmetrie", "Symmetrie", "Symmetry", "Sym\u00e9trie"),
    ("Tdbedform", "Label2"): ("Hersteller ", "Hersteller", "Manufacturer", "Fabricant"),
    ("Tdbedform", "Label20"): ("Delta C", "Delta C", "Delta C", "Delta C"),
    ("Tdbedform", "Label21"): ("Delta gamma", "Delta gamma", "Delta gamma", "Delta gamma"),
    ("Tdbedform", "Label22"): ("in C0", "in C0", "in C0", "en C0"),
    ("Tdbedform", "Label23"): ("in C90", "in C90", "in C90", "en C90"),
    ("Tdbedform", "Label24"): ("errechneter Betriebswirkungsgrad", "errechneter Betriebswirkungsgrad", "Computed light output ratio", "Rendement calcul\u00e9"),
    ("Tdbedform", "Label25"): ("gew\u00fcnschter Betriebswirkungsgrad", "gew\u00fcnschter Betriebswirkungsgrad", "Desired light output ratio", "Rendement souhait\u00e9"),
    ("Tdbedform", "Label26"): ("L/D", "L/D", "L/D", "L/D"),
    ("Tdbedform", "Label27"): ("B", "B", "W", "l"),
    ("Tdbedform", "Label28"): ("H", "H", "H", "H"),
    ("Tdbedform", "Label3"): ("Mess-Nummer", "Mess-Nummer", "Report number", "N\u00b0 de mesure"),
    ("Tdbedform", "Label4"): ("Leuchtenbezeichnung", "Leuchtenbezeichnung", "Luminaire name", "D\u00e9signation du luminaire"),
    ("Tdbedform", "Label5"): ("Leuchten-Nummer", "Leuchten-Nummer", "Luminaire number", "R\u00e9f\u00e9rence du luminaire"),
    ("Tdbedform", "Label6"): ("Datum/Bearbeiter", "Datum/Bearbeiter", "Date/editor", "Date/auteur"),
    ("Tdbedform", "Label9"): ("Kommentar", "Kommentar", "Comment", "Commentaire"),
    ("Tdbedform", "LSBtn"): ("...", "...", "...", "..."),
    ("Tdbedform", "measInfoBtn"): ("Me\u00df-Info", "Me\u00df-Info", "Measurement", "Mesure"),
    ("Tdbedform", "SaveAsBtn"): ("Speichern als", "Speichern als", "Save as", "Enregistrer sous"),
    ("Tdbedform", "SB0"): ("0", "0", "0", "0"),
    ("Tdbedform", "SB0Hint"): ("asymmetrisches Koordinatensystem erzeugen", "asymmetrisches Koordinatensystem erzeugen", "Make an asymmetric coordinate system", "Cr\u00e9er un syst\u00e8me de coordonn\u00e9es asym\u00e9trique"),
    ("Tdbedform", "SB1"): ("1", "1", "1", "1"),
    ("Tdbedform", "SB1Hint"): ("rotationssymmetrisches Koordinatensystem erzeugen", "rotationssymmetrisches Koordinatensystem erzeugen", "Make a rotationally symmetric coordinate system", "Cr\u00e9er un syst\u00e8me de coordonn\u00e9es de r\u00e9volution"),
    ("Tdbedform", "SB2"): ("2", "2", "2", "2"),
    ("Tdbedform", "SB3"): ("3", "3", "3", "3"),
    ("Tdbedform", "SB4"): ("4", "4", "4", "4"),
    ("Tdbedform", "SelectBtn"): ("Auswahl", "Auswahl", "Browse", "Parcourir"),
    ("Tdbedform", "TrBtn2"): ("translate", "\u00dcbersetzen", "Translate", "Traduire"),
    ("Tdbedform", "TrBtn2Hint"): ("translate database texts", "Datenbanktexte \u00fcbersetzen", "Translate database texts", "Traduire les textes de la base"),
    ("Tdbedform", "TurnBtn"): ("Apply", "Anwenden", "Apply", "Appliquer"),
    ("Tdbedform", "UseAll"): ("alle Ebenen verwenden", "alle Ebenen verwenden", "Use all planes", "Utiliser tous les plans"),

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

    ("TNLWIZ", "CAPTION"): ("neue Leuchte erzeugen", "Neue Leuchte erzeugen", "Create new luminaire", "Cr\u00e9er un nouveau luminaire"),
    ("TNLWIZ", "abortbtn"): ("abbrechen", "Abbrechen", "Cancel", "Annuler"),
    ("TNLWIZ", "FwdBtn"): ("Leuchtendatei anlegen", "Leuchtendatei anlegen", "Create luminaire file", "Cr\u00e9er le fichier"),
    ("TNLWIZ", "GroupBox1"): (" Koordinatensystem (C-gamma)", " Koordinatensystem (C-gamma)", " Coordinate system (C-gamma)", " Syst\u00e8me de coordonn\u00e9es (C-gamma)"),
    ("TNLWIZ", "GroupBox2"): (" Koordinatensystem (B / beta)", " Koordinatensystem (B / beta)", " Coordinate system (B / beta)", " Syst\u00e8me de coordonn\u00e9es (B / b\u00eata)"),
    ("TNLWIZ", "Label1"): ("Dateiformat", "Dateiformat", "File format", "Format du fichier"),
    ("TNLWIZ", "Label2"): ("Dateiname", "Dateiname", "File name", "Nom du fichier"),
    ("TNLWIZ", "Label3"): ("Leuchtenbezeichnung", "Leuchtenbezeichnung", "Luminaire name", "D\u00e9signation du luminaire"),
    ("TNLWIZ", "Label4"): ("Hersteller", "Hersteller", "Manufacturer", "Fabricant"),
    ("TNLWIZ", "Label5"): ("Symmetrie-Eigenschaften", "Symmetrie-Eigenschaften", "Symmetry", "Sym\u00e9trie"),
    ("TNLWIZ", "Label6"): ("Startwinkel", "Startwinkel", "Start angle", "Angle initial"),
    ("TNLWIZ", "Label7"): ("Schrittwinkel", "Schrittwinkel", "Step", "Pas"),
    ("TNLWIZ", "Label8"): ("Endwinkel", "Endwinkel", "End angle", "Angle final"),
    ("TNLWIZ", "Label9"): ("Symmetrie-Eigenschaften", "Symmetrie-Eigenschaften", "Symmetry", "Sym\u00e9trie"),
    ("TNLWIZ", "Label10"): ("Startwinkel", "Startwinkel", "Start angle", "Angle initial"),
    ("TNLWIZ", "Label11"): ("Schrittwinkel", "Schrittwinkel", "Step", "Pas"),
    ("TNLWIZ", "Label12"): ("Endwinkel", "Endwinkel", "End angle", "Angle final"),
    ("TNLWIZ", "Label13"): ("C-Ebenen", "C-Ebenen", "C planes", "Plans C"),
    ("TNLWIZ", "Label14"): ("gamma-Winkel", "gamma-Winkel", "gamma angles", "Angles gamma"),
    ("TNLWIZ", "Label15"): ("B-Ebenen", "B-Ebenen", "B planes", "Plans B"),
    ("TNLWIZ", "Label16"): ("beta-Winkel", "beta-Winkel", "beta angles", "Angles b\u00eata"),
    ("TNLWIZ", "Label17"): ("Gesamtlichtstrom der Me\u00dflampen", "Gesamtlichtstrom der Me\u00dflampen", "Total flux of the measuring lamps", "Flux total des lampes de mesure"),
    ("TNLWIZ", "Label18"): ("Abstand Leuchte <-> Photometerkopf", "Abstand Leuchte <-> Photometerkopf", "Distance luminaire <-> photometer head", "Distance luminaire <-> t\u00eate photom\u00e9trique"),
    ("TNLWIZ", "LuxBox"): ("Werte in lux eingeben", "Werte in lux eingeben", "Enter values in lux", "Saisir les valeurs en lux"),
    ("TNLWIZ", "rdbplane"): ("B-Ebenen", "B-Ebenen", "B planes", "Plans B"),
    ("TNLWIZ", "rdcplane"): ("C-Ebenen", "C-Ebenen", "C planes", "Plans C"),
    ("TNLWIZ", "TrBtn2"): ("translate", "\u00dcbersetzen", "Translate", "Traduire"),
    ("TNLWIZ", "TrBtn2Hint"): ("translate database texts", "Datenbanktexte \u00fcbersetzen", "Translate database texts", "Traduire les textes de la base"),

    ("TMsgTransDlg", "CAPTION"): ("message translator", "Meldungstexte \u00fcbersetzen", "Translate messages",
                                  "Traduire les messages"),
    ("TMsgTransDlg", "AbortBtn"): ("Abort", "Abbrechen", "Cancel", "Annuler"),
    ("TMsgTransDlg", "Header10"): ("origin", "Ausgangstext", "Origin", "Origine"),
    ("TMsgTransDlg", "Header11"): ("destination", "\u00dcbersetzung", "Translation", "Traduction"),
    ("TMsgTransDlg", "Header12"): ("item name", "Schl\u00fcssel", "Key", "Cl\u00e9"),
    ("TMsgTransDlg", "Label1"): ("Filename", "Zieldatei", "Destination file", "Fichier cible"),
    ("TMsgTransDlg", "OkBtn"): ("OK", "OK", "OK", "OK"),
    ("TLinfoForm", "CAPTION"): ("Leuchten-Information", "Leuchten-Information", "Luminaire information",
                                "Information sur le luminaire"),
    ("TLinfoForm", "TabSet10"): ("LVK", "LVK", "Intensity", "Intensit\u00e9"),
    ("TLinfoForm", "TabSet11"): ("Blendung / UGR", "Blendung / UGR", "Glare / UGR", "\u00c9blouissement / UGR"),
    ("TLinfoForm", "TabSet12"): ("DIN", "Wirkungsgrade", "Utilization", "Utilance"),
    ("TLinfoForm", "TabSet13"): ("ISO", "Isolux", "Isolux", "Isolux"),
    ("TLinfoForm", "TabSet14"): ("Kegel", "Kegel", "Cone", "C\u00f4ne"),
    ("TLinfoForm", "TabSet15"): ("Schnellrechentabelle", "Schnellrechentabelle", "Luminaire count",
                                 "Nombre de luminaires"),
    ("TLinfoForm", "TabSet16"): ("Bodenbeleuchtungskurven", "Bodenbeleuchtungskurven", "Floor illuminance",
                                 "\u00c9clairement au sol"),
    ("TLinfoForm", "DiagramGroup"): (" Diagrammtyp ", " Diagrammtyp ", " Diagram type ", " Type de diagramme "),
    ("TLinfoForm", "DiagramGroup0"): ("polar", "polar", "polar", "polaire"),
    ("TLinfoForm", "DiagramGroup1"): ("karthesisch", "kartesisch", "cartesian", "cart\u00e9sien"),
    ("TLinfoForm", "GlareGroup"): (" Glare ", " Blendung ", " Glare ", " \u00c9blouissement "),
    ("TLinfoForm", "GlareGroup0"): ("UGR", "UGR", "UGR", "UGR"),
    ("TLinfoForm", "GlareGroup1"): ("DIN", "Grenzkurven", "Limiting curves", "Courbes limites"),
    ("TLinfoForm", "GlareGroup2"): ("Tabelle", "Leuchtdichtetabelle", "Luminance table", "Tableau des luminances"),
    ("TLinfoForm", "UtfGroup"): ("utilization factors", " Wirkungsgrade ", " Utilization factors ", " Facteurs d'utilance "),
    ("TLinfoForm", "UtfGroup0"): ("DIN", "DIN", "DIN", "DIN"),
    ("TLinfoForm", "UtfGroup1"): ("CIBSE", "CIBSE", "CIBSE", "CIBSE"),
    ("TLinfoForm", "UtfGroup2"): ("NB", "NB", "NB", "NB"),
    ("TLinfoForm", "GMaxLabel"): ("g-max", "Gamma max [\u00b0]", "Gamma max [\u00b0]", "Gamma max [\u00b0]"),
    ("TLinfoForm", "AreaLabel"): ("Fl\u00e4chengr\u00f6\u00dfe [m]", "Fl\u00e4chengr\u00f6\u00dfe [m]",
                                  "Area side [m]", "C\u00f4t\u00e9 de la surface [m]"),
    ("TLinfoForm", "HeightLabel"): ("Lichtpunkth\u00f6he [m]", "Lichtpunkth\u00f6he [m]", "Mounting height [m]",
                                    "Hauteur de feu [m]"),
    ("TLinfoForm", "FluxLabel"): ("Gesamtlichtstrom [lm]", "Gesamtlichtstrom [lm]", "Total lamp flux [lm]",
                                  "Flux total [lm]"),
    ("TLinfoForm", "FactorLabel"): ("Faktor", "Faktor", "Factor", "Facteur"),
    ("TLinfoForm", "ShowBtn"): ("Anzeigen", "Anzeigen", "Show", "Afficher"),
    ("TLinfoForm", "DistLabel"): ("Abst\u00e4nde bis", "Abst\u00e4nde bis", "Distances up to", "Distances jusqu'\u00e0"),
    ("TLinfoForm", "ReflLabel"): ("Reflexionsgrade", "Reflexionsgrade", "Reflectances", "R\u00e9flexions"),
    ("TLinfoForm", "AreaSetLabel"): ("Raumfl\u00e4chen", "Raumfl\u00e4chen", "Room areas", "Surfaces des locaux"),
    ("TLinfoForm", "CHeightLabel"): ("Lichtpunkth\u00f6hen", "Lichtpunkth\u00f6hen", "Mounting heights",
                                     "Hauteurs de feu"),
    ("TLinfoForm", "ELabel"): ("E_nenn", "E_nenn", "E nominal", "E nominal"),
    ("TLinfoForm", "CMaintLabel"): ("Wartungsfaktor", "Wartungsfaktor", "Maintenance factor", "Facteur de maintenance"),
    ("TLinfoForm", "FHeightLabel"): ("Lichtpunkth\u00f6hen", "Lichtpunkth\u00f6hen", "Mounting heights",
                                     "Hauteurs de feu"),
    ("TLinfoForm", "FDistLabel"): ("Schnitt", "Schnitt", "Section", "Coupe"),
    ("TLinfoForm", "FMaintLabel"): ("Wartungsfaktor", "Wartungsfaktor", "Maintenance factor", "Facteur de maintenance"),
    ("TLinfoForm", "EmergencyCheck"): ("Notbeleuchtung", "Notbeleuchtung", "Emergency lighting",
                                       "\u00c9clairage de s\u00e9curit\u00e9"),
    ("TLinfoForm", "TrBtn2"): ("translate", "\u00dcbersetzen", "Translate", "Traduire"),
    ("TLinfoForm", "TrBtn2Hint"): ("translate window texts", "Fenstertexte \u00fcbersetzen", "Translate window texts",
                                   "Traduire les textes de la fen\u00eatre"),
    ("TLinfoForm", "CopyBtn"): ("Kopieren", "Kopieren", "Copy", "Copier"),
    ("TLinfoForm", "CopyBtnHint"): ("Zeichnung in die Zwischenablage kopieren (Strg+Einfg)",
                                    "Zeichnung in die Zwischenablage kopieren (Strg+Einfg)",
                                    "Copy the drawing to the clipboard (Ctrl+Insert)",
                                    "Copier le dessin dans le presse-papiers (Ctrl+Inser)"),
    ("TLinfoForm", "WmfBtn"): ("generate WMF-file", "WMF-Datei", "WMF file", "Fichier WMF"),
    ("TLinfoForm", "WmfBtnHint"): ("Zeichnung als WMF-Datei ins Exportverzeichnis schreiben",
                                   "Zeichnung als WMF-Datei ins Exportverzeichnis schreiben",
                                   "Write the drawing as a WMF file into the export directory",
                                   "\u00c9crire le dessin en fichier WMF dans le r\u00e9pertoire d'exportation"),
    ("TLinfoForm", "ExportBtn"): ("Exportieren \u2026", "Exportieren \u2026", "Export \u2026", "Exporter \u2026"),
    ("TLinfoForm", "ExportBtnHint"): ("Zeichnung als PDF, SVG oder PNG speichern",
                                      "Zeichnung als PDF, SVG oder PNG speichern",
                                      "Save the drawing as PDF, SVG or PNG",
                                      "Enregistrer le dessin en PDF, SVG ou PNG"),
    ("TLinfoForm", "BackBtn"): ("Zur\u00fcck zur Datenbankansicht", "Zur\u00fcck zur Datenbankansicht",
                                "Back to the catalogue", "Retour au catalogue"),

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
