<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>QFileDialog</name>
    <message>
        <source>All files (*)</source>
        <translation>All files (*)</translation>
    </message>
</context>
<context>
    <name>kolm</name>
    <message>
        <source>Return  Loss</source>
        <translation>Return Loss</translation>
    </message>
    <message>
        <source>Phase</source>
        <translation>Phase</translation>
    </message>
    <message>
        <source> Impedence</source>
        <translation> Impedance</translation>
    </message>
    <message>
        <source>Resistance</source>
        <translation>Resistance</translation>
    </message>
    <message>
        <source>Reactance</source>
        <translation>Reactance</translation>
    </message>
    <message>
        <source>Standing Wave Ratio</source>
        <translation>Standing Wave Ratio</translation>
    </message>
    <message>
        <source>RL Value</source>
        <translation>RL Value</translation>
    </message>
    <message>
        <source>PH Value</source>
        <translation>PH Value</translation>
    </message>
    <message>
        <source>Z Value</source>
        <translation>Z Value</translation>
    </message>
    <message>
        <source>R Value</source>
        <translation>R Value</translation>
    </message>
    <message>
        <source>X Value</source>
        <translation>X Value</translation>
    </message>
    <message>
        <source>SWL Value</source>
        <translation>SWR Value</translation>
    </message>
    <message>
        <source>ERRORE!</source>
        <translation>ERROR!</translation>
    </message>
    <message>
        <source>ERRORE</source>
        <translation>ERROR</translation>
    </message>
    <message>
        <source>Load File</source>
        <translation>Load File</translation>
    </message>
    <message>
        <source>Save File </source>
        <translation>Save File </translation>
    </message>
    <message>
        <source>Main  connecting VFO+PowerMeter+Antenna-Analyzer</source>
        <translation>Main menu connecting VFO, Power Meter and Antenna Analyzer</translation>
    </message>
    <message>
        <source>Calling Menu of KOLM PROGRAMME</source>
        <translation>Main menu of the KOLM program</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>About Digital VFO Software</source>
        <translation>About Digital VFO Software</translation>
    </message>
    <message>
        <source>DIGITAL VFO FROM 0 TO 160 mHz</source>
        <translation>DIGITAL VFO FROM 0 TO 160 MHz</translation>
    </message>
    <message>
        <source>About Power Meter Software</source>
        <translation>About Power Meter Software</translation>
    </message>
    <message>
        <source>Power Meter from 0 to 160 MHz +20 -80 Dbm</source>
        <translation>Power Meter from 0 to 160 MHz, +20 to -80 dBm</translation>
    </message>
    <message>
        <source>About Antenna Analyzer Software</source>
        <translation>About Antenna Analyzer Software</translation>
    </message>
    <message>
        <source>ANTENNA ANALYZER FROM 0 TO 160 mHz</source>
        <translation>ANTENNA ANALYZER FROM 0 TO 160 MHz</translation>
    </message>
    <message>
        <source>( Pay attention Programme  on Beta Test !!)</source>
        <translation>(Please note: this program is in beta test.)</translation>
    </message>
    <message>
        <source>Kolm developers</source>
        <translation>Kolm developers</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>&amp;System Info...</source>
        <translation>&amp;System Info...</translation>
    </message>
    <message>
        <source>System Infos nto availlable now.</source>
        <translation>System information is not available now.</translation>
    </message>
    <message>
        <source>SIMULATED INSTRUMENT: no hardware is being measured</source>
        <translation>SIMULATED INSTRUMENT: no hardware is being measured</translation>
    </message>
    <message>
        <source>NO INSTRUMENT: choose the port in Parameters</source>
        <translation>NO INSTRUMENT: choose the port in Parameters</translation>
    </message>
    <message>
        <source>Exit program</source>
        <translation>Exit program</translation>
    </message>
    <message>
        <source>Applicare in ingresso un segnale di 0 dBm poi premere OK</source>
        <translation>Apply a 0 dBm signal to the input, then press OK</translation>
    </message>
    <message>
        <source>Applicare in ingresso un segnale di -60 dBm poi premere OK</source>
        <translation>Apply a -60 dBm signal to the input, then press OK</translation>
    </message>
    <message>
        <source>%1    Se il numero visualizzato è tra 800 e 900 accettare premendo OK</source>
        <translation>%1    If the number shown is between 800 and 900, accept it by pressing OK</translation>
    </message>
    <message>
        <source>%1    Se il numero visualizzato è intorno a 200 accettare premendo OK</source>
        <translation>%1    If the number shown is around 200, accept it by pressing OK</translation>
    </message>
    <message>
        <source>The detector reads %1, the count already taken for %2: with equal counts no level could be computed. Check the signal at the detector input and calibrate again. The calibration was not changed.</source>
        <translation>The detector reads %1, the count already taken for %2: with equal counts no level could be computed. Check the signal at the detector input and calibrate again. The calibration was not changed.</translation>
    </message>
    <message>
        <source>Vuoi applicare i valori di DEFAULT?</source>
        <translation>Do you want to apply the DEFAULT values?</translation>
    </message>
    <message>
        <source>errore</source>
        <translation>error</translation>
    </message>
    <message>
        <source> attenzione il tempo potrebbe superare %1secondi</source>
        <translation>Warning: the sweep may take more than %1 seconds</translation>
    </message>
    <message>
        <source>file pwm(*.pwm)|*.pwm</source>
        <translation>file pwm(*.pwm)|*.pwm</translation>
    </message>
    <message>
        <source>Per memorizzare il livello di riferimento unire direttamente uscita e ingresso</source>
        <translation>To store the reference level, connect the output directly to the input</translation>
    </message>
    <message>
        <source>Calibrazione Crystal Meter</source>
        <translation>Crystal Meter Calibration</translation>
    </message>
    <message>
        <source>Bypassare il quarzo
(si può cambiare R0)</source>
        <translation>Bypass the crystal
(R0 can be changed)</translation>
    </message>
    <message>
        <source> Bypassare il quarzo</source>
        <translation>Bypass the crystal</translation>
    </message>
    <message>
        <source>The crystal fixture&apos;s through path was measured at 1601 points from 0.1 to 160 MHz and stored in Quartz.rif; R0 is %1 ohm.</source>
        <translation>The crystal fixture&apos;s through path was measured at 1601 points from 0.1 to 160 MHz and stored in Quartz.rif; R0 is %1 ohm.</translation>
    </message>
    <message>
        <source>CalQuartz</source>
        <translation>Crystal fixture calibration</translation>
    </message>
    <message>
        <source> Errore di Scala</source>
        <translation>Scale error</translation>
    </message>
    <message>
        <source>Le dimensioni di stampa richieste
sono superiori a quelle del foglio
della stampante selezionata.

Posso cambiare la scala?</source>
        <translation>The requested print size
is larger than the sheet
of the selected printer.

May I change the scale?</translation>
    </message>
    <message>
        <source> Errore in frmStampaFCPB/</source>
        <translation>Print dialog error in </translation>
    </message>
    <message>
        <source>La funzione di Stampa
ha trovato una situazione imprevista.

Codice di errore = %1
</source>
        <translation>Printing met an unexpected situation.

Error code = %1
</translation>
    </message>
    <message>
        <source>Stampante di default non specificata.</source>
        <translation>No default printer is set.</translation>
    </message>
    <message>
        <source>Non posso accedere alla stampante richiesta.
</source>
        <translation>The requested printer cannot be reached.
</translation>
    </message>
    <message>
        <source>DocumentProperties non funziona.
</source>
        <translation>The printer settings could not be applied.
</translation>
    </message>
    <message>
        <source>Errore di StartDoc.
</source>
        <translation>The print document could not be started.
</translation>
    </message>
    <message>
        <source>Stampa interrotta.
</source>
        <translation>Printing interrupted.
</translation>
    </message>
    <message>
        <source>Orientamento errato</source>
        <translation>Wrong orientation</translation>
    </message>
    <message>
        <source>Parametri errati.

La larghezza e l&apos; altezza di stampa
richieste devono essere &gt; 0.</source>
        <translation>Wrong parameters.

The requested print width
and height must be &gt; 0.</translation>
    </message>
    <message>
        <source>Si e&apos; verificata una condizione
inaspettata elaborando l&apos; immagine.</source>
        <translation>An unexpected condition occurred
while processing the picture.</translation>
    </message>
    <message>
        <source>  Printer settings </source>
        <translation>Printer settings</translation>
    </message>
    <message>
        <source>  Print of: </source>
        <translation>Print of: </translation>
    </message>
    <message>
        <source>a plain cable</source>
        <translation>a plain cable</translation>
    </message>
    <message>
        <source>a 10 dB attenuator</source>
        <translation>a 10 dB attenuator</translation>
    </message>
    <message>
        <source>a 60 dB attenuator: the detector&apos;s -60 dBm point</source>
        <translation>a 60 dB attenuator: the detector&apos;s -60 dBm point</translation>
    </message>
    <message>
        <source>a 10 MHz low-pass filter, 5th order</source>
        <translation>a 10 MHz low-pass filter, 5th order</translation>
    </message>
    <message>
        <source>a 30 MHz low-pass filter, 7th order</source>
        <translation>a 30 MHz low-pass filter, 7th order</translation>
    </message>
    <message>
        <source>a 10 MHz crystal in a 50 ohm fixture</source>
        <translation>a 10 MHz crystal in a 50 ohm fixture</translation>
    </message>
    <message>
        <source>a 4.43 MHz crystal in a 12.5 ohm fixture</source>
        <translation>a 4.43 MHz crystal in a 12.5 ohm fixture</translation>
    </message>
    <message>
        <source>a matched 50 ohm load</source>
        <translation>a matched 50 ohm load</translation>
    </message>
    <message>
        <source>100 ohm: SWR 2</source>
        <translation>100 ohm: SWR 2</translation>
    </message>
    <message>
        <source>25 ohm: SWR 2</source>
        <translation>25 ohm: SWR 2</translation>
    </message>
    <message>
        <source>nothing connected</source>
        <translation>nothing connected</translation>
    </message>
    <message>
        <source>a short circuit</source>
        <translation>a short circuit</translation>
    </message>
    <message>
        <source>an antenna resonant at 10 MHz</source>
        <translation>an antenna resonant at 10 MHz</translation>
    </message>
    <message>
        <source>a short dipole resonant near 15.8 MHz</source>
        <translation>a short dipole resonant near 15.8 MHz</translation>
    </message>
    <message>
        <source>Simulator</source>
        <translation>Simulator</translation>
    </message>
    <message>
        <source>Between generator and detector (DUT)</source>
        <translation>Between generator and detector (DUT)</translation>
    </message>
    <message>
        <source>On the bridge (load)</source>
        <translation>On the bridge (load)</translation>
    </message>
    <message>
        <source>Touchstone file...</source>
        <translation>Touchstone file...</translation>
    </message>
    <message>
        <source>Forms</source>
        <translation>Forms</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>The kept choice cannot be used, the simulator has the default in its place:</source>
        <translation>The kept choice cannot be used, the simulator has the default in its place:</translation>
    </message>
    <message>
        <source>Nothing was changed:</source>
        <translation>Nothing was changed:</translation>
    </message>
    <message>
        <source>Applied: now %1 between generator and detector, %2 on the bridge.</source>
        <translation>Applied: now %1 between generator and detector, %2 on the bridge.</translation>
    </message>
    <message>
        <source>Applied for when the simulator is chosen: %1 between generator and detector, %2 on the bridge.</source>
        <translation>Applied for when the simulator is chosen: %1 between generator and detector, %2 on the bridge.</translation>
    </message>
    <message>
        <source>Connected, but not kept for the next run:</source>
        <translation>Connected, but not kept for the next run:</translation>
    </message>
    <message>
        <source>The instrument in use is the simulator.</source>
        <translation>The instrument in use is the simulator.</translation>
    </message>
    <message>
        <source>The instrument in use is the real port %1: these connections are kept for when the simulator is chosen.</source>
        <translation>The instrument in use is the real port %1: these connections are kept for when the simulator is chosen.</translation>
    </message>
    <message>
        <source>Changes not applied yet.</source>
        <translation>Changes not applied yet.</translation>
    </message>
    <message>
        <source>Simulated DDS: not in use</source>
        <translation>Simulated DDS: not in use</translation>
    </message>
    <message>
        <source>quartz %1 MHz</source>
        <translation>quartz %1 MHz</translation>
    </message>
    <message>
        <source>Simulated DDS: clock %1 MHz (%2), output </source>
        <translation>Simulated DDS: clock %1 MHz (%2), output </translation>
    </message>
    <message>
        <source>off</source>
        <translation>off</translation>
    </message>
    <message>
        <source>no signal</source>
        <translation>no signal</translation>
    </message>
    <message>
        <source>Detector %1 (%2)   Bridge A %3, B %4</source>
        <translation>Detector %1 (%2)   Bridge A %3, B %4</translation>
    </message>
    <message>
        <source>Frequency too High</source>
        <translation>Frequency too High</translation>
    </message>
    <message>
        <source>Left button=Transfer  frequency in to  display; Right button capture frequency from display</source>
        <translation>Left button: transfer the frequency to the display; right button: store the displayed frequency</translation>
    </message>
    <message>
        <source>Digital VFO</source>
        <translation>Digital VFO</translation>
    </message>
    <message>
        <source>DIGITAL VFO</source>
        <translation>DIGITAL VFO</translation>
    </message>
    <message>
        <source>Keyboard input in MHz</source>
        <translation>Keyboard input in MHz</translation>
    </message>
    <message>
        <source>Tune up</source>
        <translation>Tune up</translation>
    </message>
    <message>
        <source>Tune down</source>
        <translation>Tune down</translation>
    </message>
    <message>
        <source>Wheel over a digit, or Up and Down: tune by that digit&apos;s step</source>
        <translation>Wheel over a digit, or Up and Down: tune by that digit&apos;s step</translation>
    </message>
    <message>
        <source>End_Program</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Exit Digital VFO</source>
        <translation>Exit Digital VFO</translation>
    </message>
    <message>
        <source>Parameters</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>About_VFO</source>
        <translation>About VFO</translation>
    </message>
    <message>
        <source>Working Frequency</source>
        <translation>Working Frequency</translation>
    </message>
    <message>
        <source>000.000 000</source>
        <translation>000.000 000</translation>
    </message>
    <message>
        <source>MHz</source>
        <translation>MHz</translation>
    </message>
    <message>
        <source>Freq Output</source>
        <translation>Freq Output</translation>
    </message>
    <message>
        <source>Mhz</source>
        <translation>MHz</translation>
    </message>
    <message>
        <source>Khz</source>
        <translation>kHz</translation>
    </message>
    <message>
        <source>Hz</source>
        <translation>Hz</translation>
    </message>
    <message>
        <source>+</source>
        <translation>+</translation>
    </message>
    <message>
        <source>Up </source>
        <translation>Up </translation>
    </message>
    <message>
        <source>_</source>
        <translation>_</translation>
    </message>
    <message>
        <source>Down </source>
        <translation>Down </translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>RTX2</source>
        <translation>RTX2</translation>
    </message>
    <message>
        <source>GEN</source>
        <translation>GEN</translation>
    </message>
    <message>
        <source>RTX</source>
        <translation>RTX</translation>
    </message>
    <message>
        <source>Intermediate frequency in MHz</source>
        <translation>Intermediate frequency in MHz</translation>
    </message>
    <message>
        <source>IF1</source>
        <translation>IF1</translation>
    </message>
    <message>
        <source>IF2</source>
        <translation>IF2</translation>
    </message>
    <message>
        <source>DDS Reset</source>
        <translation>DDS Reset</translation>
    </message>
    <message>
        <source>Stored frequencies in MHz</source>
        <translation>Stored frequencies in MHz</translation>
    </message>
    <message>
        <source>Freq Add </source>
        <translation>Freq Add</translation>
    </message>
    <message>
        <source>Insert in memory from Display</source>
        <translation>Store the displayed frequency in memory</translation>
    </message>
    <message>
        <source>Freq Del.</source>
        <translation>Freq Del.</translation>
    </message>
    <message>
        <source>Delete selected frequency from memory</source>
        <translation>Delete selected frequency from memory</translation>
    </message>
    <message>
        <source>Clear all stored memories</source>
        <translation>Clear all stored memories</translation>
    </message>
    <message>
        <source>Frequencies Buttons</source>
        <translation>Band buttons</translation>
    </message>
    <message>
        <source>%1 is empty: right-click it to store the working frequency in it.</source>
        <translation>%1 is empty: right-click it to store the working frequency in it.</translation>
    </message>
    <message>
        <source>%1 holds %2 MHz.</source>
        <translation>%1 holds %2 MHz.</translation>
    </message>
    <message>
        <source>not sent</source>
        <translation>not sent</translation>
    </message>
    <message>
        <source>Band 160</source>
        <translation>Band 160</translation>
    </message>
    <message>
        <source>Band 80</source>
        <translation>Band 80</translation>
    </message>
    <message>
        <source>Band 40</source>
        <translation>Band 40</translation>
    </message>
    <message>
        <source>Band 30</source>
        <translation>Band 30</translation>
    </message>
    <message>
        <source>Band 20</source>
        <translation>Band 20</translation>
    </message>
    <message>
        <source>Band 17</source>
        <translation>Band 17</translation>
    </message>
    <message>
        <source>Band  15</source>
        <translation>Band 15</translation>
    </message>
    <message>
        <source>Band 12</source>
        <translation>Band 12</translation>
    </message>
    <message>
        <source>Band 10 A</source>
        <translation>Band 10 A</translation>
    </message>
    <message>
        <source>Band 10 B</source>
        <translation>Band 10 B</translation>
    </message>
    <message>
        <source>Band 6m</source>
        <translation>Band 6m</translation>
    </message>
    <message>
        <source>Band 2m</source>
        <translation>Band 2m</translation>
    </message>
    <message>
        <source>Do you want really clear all memories?</source>
        <translation>Do you want really clear all memories?</translation>
    </message>
    <message>
        <source>Scala:</source>
        <translation>Scale:</translation>
    </message>
    <message>
        <source>Scala X:</source>
        <translation>Scale X:</translation>
    </message>
    <message>
        <source>Sca&amp;le:</source>
        <translation>Sca&amp;le:</translation>
    </message>
    <message>
        <source>THE PORT STOPPED WORKING: nothing is measured; choose the port again in Parameters</source>
        <translation>All files (*)&lt;/source&gt;
        &lt;translation&gt;All files (*)&lt;/translation&gt;
    &lt;/message&gt;
&lt;/context&gt;
&lt;context&gt;
    &lt;name&gt;kolm&lt;/name&gt;
    &lt;message&gt;
        &lt;source&gt;Return  Loss&lt;/source&gt;
        &lt;translation&gt;Return Loss&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Phase&lt;/source&gt;
        &lt;translation&gt;Phase&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt; Impedence&lt;/source&gt;
        &lt;translation&gt; Impedance&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Resistance&lt;/source&gt;
        &lt;translation&gt;Resistance&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Reactance&lt;/source&gt;
        &lt;translation&gt;Reactance&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Standing Wave Ratio&lt;/source&gt;
        &lt;translation&gt;Standing Wave Ratio&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;RL Value&lt;/source&gt;
        &lt;translation&gt;RL Value&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;PH Value&lt;/source&gt;
        &lt;translation&gt;PH Value&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Z Value&lt;/source&gt;
        &lt;translation&gt;Z Value&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;R Value&lt;/source&gt;
        &lt;translation&gt;R Value&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;X Value&lt;/source&gt;
        &lt;translation&gt;X Value&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;SWL Value&lt;/source&gt;
        &lt;translation&gt;SWR Value&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;ERRORE!&lt;/source&gt;
        &lt;translation&gt;ERROR!&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;ERRORE&lt;/source&gt;
        &lt;translation&gt;ERROR&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Load File&lt;/source&gt;
        &lt;translation&gt;Load File&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Save File &lt;/source&gt;
        &lt;translation&gt;Save File &lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Main  connecting VFO+PowerMeter+Antenna-Analyzer&lt;/source&gt;
        &lt;translation&gt;Main menu connecting VFO, Power Meter and Antenna Analyzer&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Calling Menu of KOLM PROGRAMME&lt;/source&gt;
        &lt;translation&gt;Main menu of the KOLM program&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Exit&lt;/source&gt;
        &lt;translation&gt;Exit&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;About Digital VFO Software&lt;/source&gt;
        &lt;translation&gt;About Digital VFO Software&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;DIGITAL VFO FROM 0 TO 160 mHz&lt;/source&gt;
        &lt;translation&gt;DIGITAL VFO FROM 0 TO 160 MHz&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;About Power Meter Software&lt;/source&gt;
        &lt;translation&gt;About Power Meter Software&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Power Meter from 0 to 160 MHz +20 -80 Dbm&lt;/source&gt;
        &lt;translation&gt;Power Meter from 0 to 160 MHz, +20 to -80 dBm&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;About Antenna Analyzer Software&lt;/source&gt;
        &lt;translation&gt;About Antenna Analyzer Software&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;ANTENNA ANALYZER FROM 0 TO 160 mHz&lt;/source&gt;
        &lt;translation&gt;ANTENNA ANALYZER FROM 0 TO 160 MHz&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;( Pay attention Programme  on Beta Test !!)&lt;/source&gt;
        &lt;translation&gt;(Please note: this program is in beta test.)&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Kolm developers&lt;/source&gt;
        &lt;translation&gt;Kolm developers&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;OK&lt;/source&gt;
        &lt;translation&gt;OK&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;&amp;System Info...&lt;/source&gt;
        &lt;translation&gt;&amp;System Info...&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;System Infos nto availlable now.&lt;/source&gt;
        &lt;translation&gt;System information is not available now.&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;SIMULATED INSTRUMENT: no hardware is being measured&lt;/source&gt;
        &lt;translation&gt;SIMULATED INSTRUMENT: no hardware is being measured&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;NO INSTRUMENT: choose the port in Parameters&lt;/source&gt;
        &lt;translation&gt;NO INSTRUMENT: choose the port in Parameters&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Exit program&lt;/source&gt;
        &lt;translation&gt;Exit program&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Applicare in ingresso un segnale di 0 dBm poi premere OK&lt;/source&gt;
        &lt;translation&gt;Apply a 0 dBm signal to the input, then press OK&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Applicare in ingresso un segnale di -60 dBm poi premere OK&lt;/source&gt;
        &lt;translation&gt;Apply a -60 dBm signal to the input, then press OK&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;%1    Se il numero visualizzato è tra 800 e 900 accettare premendo OK&lt;/source&gt;
        &lt;translation&gt;%1    If the number shown is between 800 and 900, accept it by pressing OK&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;%1    Se il numero visualizzato è intorno a 200 accettare premendo OK&lt;/source&gt;
        &lt;translation&gt;%1    If the number shown is around 200, accept it by pressing OK&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;The detector reads %1, the count already taken for %2: with equal counts no level could be computed. Check the signal at the detector input and calibrate again. The calibration was not changed.&lt;/source&gt;
        &lt;translation&gt;The detector reads %1, the count already taken for %2: with equal counts no level could be computed. Check the signal at the detector input and calibrate again. The calibration was not changed.&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Vuoi applicare i valori di DEFAULT?&lt;/source&gt;
        &lt;translation&gt;Do you want to apply the DEFAULT values?&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;errore&lt;/source&gt;
        &lt;translation&gt;error&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt; attenzione il tempo potrebbe superare %1secondi&lt;/source&gt;
        &lt;translation&gt;Warning: the sweep may take more than %1 seconds&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;file pwm(*.pwm)|*.pwm&lt;/source&gt;
        &lt;translation&gt;file pwm(*.pwm)|*.pwm&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Per memorizzare il livello di riferimento unire direttamente uscita e ingresso&lt;/source&gt;
        &lt;translation&gt;To store the reference level, connect the output directly to the input&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Calibrazione Crystal Meter&lt;/source&gt;
        &lt;translation&gt;Crystal Meter Calibration&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Bypassare il quarzo
(si può cambiare R0)&lt;/source&gt;
        &lt;translation&gt;Bypass the crystal
(R0 can be changed)&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt; Bypassare il quarzo&lt;/source&gt;
        &lt;translation&gt;Bypass the crystal&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;The crystal fixture&apos;s through path was measured at 1601 points from 0.1 to 160 MHz and stored in Quartz.rif; R0 is %1 ohm.&lt;/source&gt;
        &lt;translation&gt;The crystal fixture&apos;s through path was measured at 1601 points from 0.1 to 160 MHz and stored in Quartz.rif; R0 is %1 ohm.&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;CalQuartz&lt;/source&gt;
        &lt;translation&gt;Crystal fixture calibration&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt; Errore di Scala&lt;/source&gt;
        &lt;translation&gt;Scale error&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Le dimensioni di stampa richieste
sono superiori a quelle del foglio
della stampante selezionata.

Posso cambiare la scala?&lt;/source&gt;
        &lt;translation&gt;The requested print size
is larger than the sheet
of the selected printer.

May I change the scale?&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt; Errore in frmStampaFCPB/&lt;/source&gt;
        &lt;translation&gt;Print dialog error in &lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;La funzione di Stampa
ha trovato una situazione imprevista.

Codice di errore = %1
&lt;/source&gt;
        &lt;translation&gt;Printing met an unexpected situation.

Error code = %1
&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Stampante di default non specificata.&lt;/source&gt;
        &lt;translation&gt;No default printer is set.&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Non posso accedere alla stampante richiesta.
&lt;/source&gt;
        &lt;translation&gt;The requested printer cannot be reached.
&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;DocumentProperties non funziona.
&lt;/source&gt;
        &lt;translation&gt;The printer settings could not be applied.
&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Errore di StartDoc.
&lt;/source&gt;
        &lt;translation&gt;The print document could not be started.
&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Stampa interrotta.
&lt;/source&gt;
        &lt;translation&gt;Printing interrupted.
&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Orientamento errato&lt;/source&gt;
        &lt;translation&gt;Wrong orientation&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Parametri errati.

La larghezza e l&apos; altezza di stampa
richieste devono essere &gt; 0.&lt;/source&gt;
        &lt;translation&gt;Wrong parameters.

The requested print width
and height must be &gt; 0.&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Si e&apos; verificata una condizione
inaspettata elaborando l&apos; immagine.&lt;/source&gt;
        &lt;translation&gt;An unexpected condition occurred
while processing the picture.&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;  Printer settings &lt;/source&gt;
        &lt;translation&gt;Printer settings&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;  Print of: &lt;/source&gt;
        &lt;translation&gt;Print of: &lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;a plain cable&lt;/source&gt;
        &lt;translation&gt;a plain cable&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;a 10 dB attenuator&lt;/source&gt;
        &lt;translation&gt;a 10 dB attenuator&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;a 60 dB attenuator: the detector&apos;s -60 dBm point&lt;/source&gt;
        &lt;translation&gt;a 60 dB attenuator: the detector&apos;s -60 dBm point&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;a 10 MHz low-pass filter, 5th order&lt;/source&gt;
        &lt;translation&gt;a 10 MHz low-pass filter, 5th order&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;a 30 MHz low-pass filter, 7th order&lt;/source&gt;
        &lt;translation&gt;a 30 MHz low-pass filter, 7th order&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;a 10 MHz crystal in a 50 ohm fixture&lt;/source&gt;
        &lt;translation&gt;a 10 MHz crystal in a 50 ohm fixture&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;a 4.43 MHz crystal in a 12.5 ohm fixture&lt;/source&gt;
        &lt;translation&gt;a 4.43 MHz crystal in a 12.5 ohm fixture&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;a matched 50 ohm load&lt;/source&gt;
        &lt;translation&gt;a matched 50 ohm load&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;100 ohm: SWR 2&lt;/source&gt;
        &lt;translation&gt;100 ohm: SWR 2&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;25 ohm: SWR 2&lt;/source&gt;
        &lt;translation&gt;25 ohm: SWR 2&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;nothing connected&lt;/source&gt;
        &lt;translation&gt;nothing connected&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;a short circuit&lt;/source&gt;
        &lt;translation&gt;a short circuit&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;an antenna resonant at 10 MHz&lt;/source&gt;
        &lt;translation&gt;an antenna resonant at 10 MHz&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;a short dipole resonant near 15.8 MHz&lt;/source&gt;
        &lt;translation&gt;a short dipole resonant near 15.8 MHz&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Simulator&lt;/source&gt;
        &lt;translation&gt;Simulator&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Between generator and detector (DUT)&lt;/source&gt;
        &lt;translation&gt;Between generator and detector (DUT)&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;On the bridge (load)&lt;/source&gt;
        &lt;translation&gt;On the bridge (load)&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Touchstone file...&lt;/source&gt;
        &lt;translation&gt;Touchstone file...&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Forms&lt;/source&gt;
        &lt;translation&gt;Forms&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Apply&lt;/source&gt;
        &lt;translation&gt;Apply&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Close&lt;/source&gt;
        &lt;translation&gt;Close&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;The kept choice cannot be used, the simulator has the default in its place:&lt;/source&gt;
        &lt;translation&gt;The kept choice cannot be used, the simulator has the default in its place:&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Nothing was changed:&lt;/source&gt;
        &lt;translation&gt;Nothing was changed:&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Applied: now %1 between generator and detector, %2 on the bridge.&lt;/source&gt;
        &lt;translation&gt;Applied: now %1 between generator and detector, %2 on the bridge.&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Applied for when the simulator is chosen: %1 between generator and detector, %2 on the bridge.&lt;/source&gt;
        &lt;translation&gt;Applied for when the simulator is chosen: %1 between generator and detector, %2 on the bridge.&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Connected, but not kept for the next run:&lt;/source&gt;
        &lt;translation&gt;Connected, but not kept for the next run:&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;The instrument in use is the simulator.&lt;/source&gt;
        &lt;translation&gt;The instrument in use is the simulator.&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;The instrument in use is the real port %1: these connections are kept for when the simulator is chosen.&lt;/source&gt;
        &lt;translation&gt;The instrument in use is the real port %1: these connections are kept for when the simulator is chosen.&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Changes not applied yet.&lt;/source&gt;
        &lt;translation&gt;Changes not applied yet.&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Simulated DDS: not in use&lt;/source&gt;
        &lt;translation&gt;Simulated DDS: not in use&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;quartz %1 MHz&lt;/source&gt;
        &lt;translation&gt;quartz %1 MHz&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Simulated DDS: clock %1 MHz (%2), output &lt;/source&gt;
        &lt;translation&gt;Simulated DDS: clock %1 MHz (%2), output &lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;off&lt;/source&gt;
        &lt;translation&gt;off&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;no signal&lt;/source&gt;
        &lt;translation&gt;no signal&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Detector %1 (%2)   Bridge A %3, B %4&lt;/source&gt;
        &lt;translation&gt;Detector %1 (%2)   Bridge A %3, B %4&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Frequency too High&lt;/source&gt;
        &lt;translation&gt;Frequency too High&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Left button=Transfer  frequency in to  display; Right button capture frequency from display&lt;/source&gt;
        &lt;translation&gt;Left button: transfer the frequency to the display; right button: store the displayed frequency&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Digital VFO&lt;/source&gt;
        &lt;translation&gt;Digital VFO&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;DIGITAL VFO&lt;/source&gt;
        &lt;translation&gt;DIGITAL VFO&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Keyboard input in MHz&lt;/source&gt;
        &lt;translation&gt;Keyboard input in MHz&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Tune up&lt;/source&gt;
        &lt;translation&gt;Tune up&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Tune down&lt;/source&gt;
        &lt;translation&gt;Tune down&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Wheel over a digit, or Up and Down: tune by that digit&apos;s step&lt;/source&gt;
        &lt;translation&gt;Wheel over a digit, or Up and Down: tune by that digit&apos;s step&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;End_Program&lt;/source&gt;
        &lt;translation&gt;File&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Exit Digital VFO&lt;/source&gt;
        &lt;translation&gt;Exit Digital VFO&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Parameters&lt;/source&gt;
        &lt;translation&gt;Parameters&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;About_VFO&lt;/source&gt;
        &lt;translation&gt;About VFO&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Working Frequency&lt;/source&gt;
        &lt;translation&gt;Working Frequency&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;000.000 000&lt;/source&gt;
        &lt;translation&gt;000.000 000&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;MHz&lt;/source&gt;
        &lt;translation&gt;MHz&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Freq Output&lt;/source&gt;
        &lt;translation&gt;Freq Output&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Mhz&lt;/source&gt;
        &lt;translation&gt;MHz&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Khz&lt;/source&gt;
        &lt;translation&gt;kHz&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Hz&lt;/source&gt;
        &lt;translation&gt;Hz&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;+&lt;/source&gt;
        &lt;translation&gt;+&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Up &lt;/source&gt;
        &lt;translation&gt;Up &lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;_&lt;/source&gt;
        &lt;translation&gt;_&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Down &lt;/source&gt;
        &lt;translation&gt;Down &lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Mode&lt;/source&gt;
        &lt;translation&gt;Mode&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;RTX2&lt;/source&gt;
        &lt;translation&gt;RTX2&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;GEN&lt;/source&gt;
        &lt;translation&gt;GEN&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;RTX&lt;/source&gt;
        &lt;translation&gt;RTX&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Intermediate frequency in MHz&lt;/source&gt;
        &lt;translation&gt;Intermediate frequency in MHz&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;IF1&lt;/source&gt;
        &lt;translation&gt;IF1&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;IF2&lt;/source&gt;
        &lt;translation&gt;IF2&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;DDS Reset&lt;/source&gt;
        &lt;translation&gt;DDS Reset&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Stored frequencies in MHz&lt;/source&gt;
        &lt;translation&gt;Stored frequencies in MHz&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Freq Add &lt;/source&gt;
        &lt;translation&gt;Freq Add&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Insert in memory from Display&lt;/source&gt;
        &lt;translation&gt;Store the displayed frequency in memory&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Freq Del.&lt;/source&gt;
        &lt;translation&gt;Freq Del.&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Delete selected frequency from memory&lt;/source&gt;
        &lt;translation&gt;Delete selected frequency from memory&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Clear all stored memories&lt;/source&gt;
        &lt;translation&gt;Clear all stored memories&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Frequencies Buttons&lt;/source&gt;
        &lt;translation&gt;Band buttons&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;%1 is empty: right-click it to store the working frequency in it.&lt;/source&gt;
        &lt;translation&gt;%1 is empty: right-click it to store the working frequency in it.&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;%1 holds %2 MHz.&lt;/source&gt;
        &lt;translation&gt;%1 holds %2 MHz.&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;not sent&lt;/source&gt;
        &lt;translation&gt;not sent&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Band 160&lt;/source&gt;
        &lt;translation&gt;Band 160&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Band 80&lt;/source&gt;
        &lt;translation&gt;Band 80&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Band 40&lt;/source&gt;
        &lt;translation&gt;Band 40&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Band 30&lt;/source&gt;
        &lt;translation&gt;Band 30&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Band 20&lt;/source&gt;
        &lt;translation&gt;Band 20&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Band 17&lt;/source&gt;
        &lt;translation&gt;Band 17&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Band  15&lt;/source&gt;
        &lt;translation&gt;Band 15&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Band 12&lt;/source&gt;
        &lt;translation&gt;Band 12&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Band 10 A&lt;/source&gt;
        &lt;translation&gt;Band 10 A&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Band 10 B&lt;/source&gt;
        &lt;translation&gt;Band 10 B&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Band 6m&lt;/source&gt;
        &lt;translation&gt;Band 6m&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Band 2m&lt;/source&gt;
        &lt;translation&gt;Band 2m&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Do you want really clear all memories?&lt;/source&gt;
        &lt;translation&gt;Do you want really clear all memories?&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Scala:&lt;/source&gt;
        &lt;translation&gt;Scale:&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Scala X:&lt;/source&gt;
        &lt;translation&gt;Scale X:&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Sca&amp;le:&lt;/source&gt;
        &lt;translation&gt;Sca&amp;le:&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;THE PORT STOPPED WORKING: nothing is measured; choose the port again in Parameters</translation>
    </message>
</context>
<context>
    <name>kolm::analyzer::ui::AnalyzerWindow</name>
    <message>
        <source>The chart file cannot be read.
%1</source>
        <translation>The chart file cannot be read.
%1</translation>
    </message>
    <message>
        <source>The chart file cannot be written.
%1</source>
        <translation>The chart file cannot be written.
%1</translation>
    </message>
    <message>
        <source>this screen</source>
        <translation>this screen</translation>
    </message>
    <message>
        <source>Antenna_Analizer</source>
        <translation>Antenna Analyzer</translation>
    </message>
    <message>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Open Chart .vna</source>
        <translation>Open Chart .vna</translation>
    </message>
    <message>
        <source>Open Chart .vec</source>
        <translation>Open Chart .vec</translation>
    </message>
    <message>
        <source>Save Chart as</source>
        <translation>Save Chart as</translation>
    </message>
    <message>
        <source>Exit Antenna Analyzer</source>
        <translation>Exit Antenna Analyzer</translation>
    </message>
    <message>
        <source>Parameters</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>Compare</translation>
    </message>
    <message>
        <source>This screen in Memory</source>
        <translation>This screen in memory</translation>
    </message>
    <message>
        <source>File in Memory</source>
        <translation>File in Memory</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>PrintScreen</source>
        <translation>Print Screen</translation>
    </message>
    <message>
        <source>About Antenna Analyzer</source>
        <translation>About Antenna Analyzer</translation>
    </message>
    <message>
        <source>Single sweep</source>
        <translation>Single sweep</translation>
    </message>
    <message>
        <source>Continuous sweep</source>
        <translation>Continuous sweep</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Charts</source>
        <translation>Charts</translation>
    </message>
    <message>
        <source>Signal Generator</source>
        <translation>Signal Generator</translation>
    </message>
    <message>
        <source>ANTENNA ANALYZER</source>
        <translation>ANTENNA ANALYZER</translation>
    </message>
    <message>
        <source>File Name: </source>
        <translation>File Name: </translation>
    </message>
    <message>
        <source>Points</source>
        <translation>Points</translation>
    </message>
    <message>
        <source>Frequency MHz</source>
        <translation>Frequency MHz</translation>
    </message>
    <message>
        <source>File name</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>MHz</source>
        <translation>MHz</translation>
    </message>
    <message>
        <source>Single</source>
        <translation>Single</translation>
    </message>
    <message>
        <source>Chart Single or Combine</source>
        <translation>Chart Single or Combine</translation>
    </message>
    <message>
        <source>Staring/Stop  Sweep</source>
        <translation>Start/Stop Sweep (F5)</translation>
    </message>
    <message>
        <source>Sweep continous</source>
        <translation>Continuous sweep (Shift+F5)</translation>
    </message>
    <message>
        <source>Progress of the sweep</source>
        <translation>Progress of the sweep</translation>
    </message>
    <message>
        <source>Stop the sweep (Esc)</source>
        <translation>Stop the sweep (Esc)</translation>
    </message>
    <message>
        <source>%1 memory: %2</source>
        <translation>%1 memory: %2</translation>
    </message>
    <message>
        <source>DEMONSTRATION: a built-in simulated measurement, not a sweep</source>
        <translation>DEMONSTRATION: a built-in simulated measurement, not a sweep</translation>
    </message>
</context>
<context>
    <name>kolm::app::Launcher</name>
    <message>
        <source>MULTIFUNCTIONS INSTRUMENT</source>
        <translation>Multifunction Instrument</translation>
    </message>
    <message>
        <source>About_KOLM</source>
        <translation>About Kolm</translation>
    </message>
    <message>
        <source>Parameters</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>Simulator</source>
        <translation>Simulator</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Original texts</source>
        <translation>Original texts</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>KOLM MAIN MENU</source>
        <translation>KOLM MAIN MENU</translation>
    </message>
    <message>
        <source>DIGITAL VFO</source>
        <translation>DIGITAL VFO</translation>
    </message>
    <message>
        <source>Launch Digital VFO</source>
        <translation>Launch Digital VFO</translation>
    </message>
    <message>
        <source>Power Meter</source>
        <translation>Power Meter</translation>
    </message>
    <message>
        <source>Launch Power Meter</source>
        <translation>Launch Power Meter</translation>
    </message>
    <message>
        <source>Antenna Analyzer</source>
        <translation>Antenna Analyzer</translation>
    </message>
    <message>
        <source>Launch Antenna Analyzer</source>
        <translation>Launch Antenna Analyzer</translation>
    </message>
    <message>
        <source>EXIT PROGRAM</source>
        <translation>EXIT PROGRAM</translation>
    </message>
    <message>
        <source>Exit from Program</source>
        <translation>Exit from Program</translation>
    </message>
    <message>
        <source>The language is kept and takes effect when the program is started again.</source>
        <translation>The language is kept and takes effect when the program is started again.</translation>
    </message>
</context>
<context>
    <name>kolm::app::ParametersWindow</name>
    <message>
        <source>DDS_VFO &amp; Power_Meter &amp; Antenna_Analyzer Parameters</source>
        <translation>DDS VFO, Power Meter and Antenna Analyzer Parameters</translation>
    </message>
    <message>
        <source>LPT Port Command Address</source>
        <translation>LPT Port Command Address</translation>
    </message>
    <message>
        <source>LPT1 : HEX378</source>
        <translation>LPT1 : HEX378</translation>
    </message>
    <message>
        <source>LPT2 : HEX278</source>
        <translation>LPT2 : HEX278</translation>
    </message>
    <message>
        <source>LPT3 : HEX3BC</source>
        <translation>LPT3 : HEX3BC</translation>
    </message>
    <message>
        <source>RefClk Multiplier</source>
        <translation>RefClk multiplier</translation>
    </message>
    <message>
        <source>Fr Quartz in MHz</source>
        <translation>Quartz frequency in MHz</translation>
    </message>
    <message>
        <source>Multiply factor</source>
        <translation>Multiply factor</translation>
    </message>
    <message>
        <source>ref Clock</source>
        <translation>Ref clock</translation>
    </message>
    <message>
        <source>MHz</source>
        <translation>MHz</translation>
    </message>
    <message>
        <source>Port access</source>
        <translation>Port access</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Port test</source>
        <translation>The chart file cannot be read.
%1&lt;/source&gt;
        &lt;translation&gt;The chart file cannot be read.
%1&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;The chart file cannot be written.
%1&lt;/source&gt;
        &lt;translation&gt;The chart file cannot be written.
%1&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;this screen&lt;/source&gt;
        &lt;translation&gt;this screen&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Antenna_Analizer&lt;/source&gt;
        &lt;translation&gt;Antenna Analyzer&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;File&lt;/source&gt;
        &lt;translation&gt;File&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Open Chart .vna&lt;/source&gt;
        &lt;translation&gt;Open Chart .vna&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Open Chart .vec&lt;/source&gt;
        &lt;translation&gt;Open Chart .vec&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Save Chart as&lt;/source&gt;
        &lt;translation&gt;Save Chart as&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Exit Antenna Analyzer&lt;/source&gt;
        &lt;translation&gt;Exit Antenna Analyzer&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Parameters&lt;/source&gt;
        &lt;translation&gt;Parameters&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Compare&lt;/source&gt;
        &lt;translation&gt;Compare&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;This screen in Memory&lt;/source&gt;
        &lt;translation&gt;This screen in memory&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;File in Memory&lt;/source&gt;
        &lt;translation&gt;File in Memory&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Print&lt;/source&gt;
        &lt;translation&gt;Print&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;PrintScreen&lt;/source&gt;
        &lt;translation&gt;Print Screen&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;About Antenna Analyzer&lt;/source&gt;
        &lt;translation&gt;About Antenna Analyzer&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Single sweep&lt;/source&gt;
        &lt;translation&gt;Single sweep&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Continuous sweep&lt;/source&gt;
        &lt;translation&gt;Continuous sweep&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Stop&lt;/source&gt;
        &lt;translation&gt;Stop&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Charts&lt;/source&gt;
        &lt;translation&gt;Charts&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Signal Generator&lt;/source&gt;
        &lt;translation&gt;Signal Generator&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;ANTENNA ANALYZER&lt;/source&gt;
        &lt;translation&gt;ANTENNA ANALYZER&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;File Name: &lt;/source&gt;
        &lt;translation&gt;File Name: &lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Points&lt;/source&gt;
        &lt;translation&gt;Points&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Frequency MHz&lt;/source&gt;
        &lt;translation&gt;Frequency MHz&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;File name&lt;/source&gt;
        &lt;translation&gt;File name&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;MHz&lt;/source&gt;
        &lt;translation&gt;MHz&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Single&lt;/source&gt;
        &lt;translation&gt;Single&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Chart Single or Combine&lt;/source&gt;
        &lt;translation&gt;Chart Single or Combine&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Staring/Stop  Sweep&lt;/source&gt;
        &lt;translation&gt;Start/Stop Sweep (F5)&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Sweep continous&lt;/source&gt;
        &lt;translation&gt;Continuous sweep (Shift+F5)&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Progress of the sweep&lt;/source&gt;
        &lt;translation&gt;Progress of the sweep&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Stop the sweep (Esc)&lt;/source&gt;
        &lt;translation&gt;Stop the sweep (Esc)&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;%1 memory: %2&lt;/source&gt;
        &lt;translation&gt;%1 memory: %2&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;DEMONSTRATION: a built-in simulated measurement, not a sweep&lt;/source&gt;
        &lt;translation&gt;DEMONSTRATION: a built-in simulated measurement, not a sweep&lt;/translation&gt;
    &lt;/message&gt;
&lt;/context&gt;
&lt;context&gt;
    &lt;name&gt;kolm::app::Launcher&lt;/name&gt;
    &lt;message&gt;
        &lt;source&gt;MULTIFUNCTIONS INSTRUMENT&lt;/source&gt;
        &lt;translation&gt;Multifunction Instrument&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;About_KOLM&lt;/source&gt;
        &lt;translation&gt;About Kolm&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Parameters&lt;/source&gt;
        &lt;translation&gt;Parameters&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Simulator&lt;/source&gt;
        &lt;translation&gt;Simulator&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Language&lt;/source&gt;
        &lt;translation&gt;Language&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Original texts&lt;/source&gt;
        &lt;translation&gt;Original texts&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;English&lt;/source&gt;
        &lt;translation&gt;English&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;KOLM MAIN MENU&lt;/source&gt;
        &lt;translation&gt;KOLM MAIN MENU&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;DIGITAL VFO&lt;/source&gt;
        &lt;translation&gt;DIGITAL VFO&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Launch Digital VFO&lt;/source&gt;
        &lt;translation&gt;Launch Digital VFO&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Power Meter&lt;/source&gt;
        &lt;translation&gt;Power Meter&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Launch Power Meter&lt;/source&gt;
        &lt;translation&gt;Launch Power Meter&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Antenna Analyzer&lt;/source&gt;
        &lt;translation&gt;Antenna Analyzer&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Launch Antenna Analyzer&lt;/source&gt;
        &lt;translation&gt;Launch Antenna Analyzer&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;EXIT PROGRAM&lt;/source&gt;
        &lt;translation&gt;EXIT PROGRAM&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Exit from Program&lt;/source&gt;
        &lt;translation&gt;Exit from Program&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;The language is kept and takes effect when the program is started again.&lt;/source&gt;
        &lt;translation&gt;The language is kept and takes effect when the program is started again.&lt;/translation&gt;
    &lt;/message&gt;
&lt;/context&gt;
&lt;context&gt;
    &lt;name&gt;kolm::app::ParametersWindow&lt;/name&gt;
    &lt;message&gt;
        &lt;source&gt;DDS_VFO &amp; Power_Meter &amp; Antenna_Analyzer Parameters&lt;/source&gt;
        &lt;translation&gt;DDS VFO, Power Meter and Antenna Analyzer Parameters&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;LPT Port Command Address&lt;/source&gt;
        &lt;translation&gt;LPT Port Command Address&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;LPT1 : HEX378&lt;/source&gt;
        &lt;translation&gt;LPT1 : HEX378&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;LPT2 : HEX278&lt;/source&gt;
        &lt;translation&gt;LPT2 : HEX278&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;LPT3 : HEX3BC&lt;/source&gt;
        &lt;translation&gt;LPT3 : HEX3BC&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;RefClk Multiplier&lt;/source&gt;
        &lt;translation&gt;RefClk multiplier&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Fr Quartz in MHz&lt;/source&gt;
        &lt;translation&gt;Quartz frequency in MHz&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Multiply factor&lt;/source&gt;
        &lt;translation&gt;Multiply factor&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;ref Clock&lt;/source&gt;
        &lt;translation&gt;Ref clock&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;MHz&lt;/source&gt;
        &lt;translation&gt;MHz&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Port access&lt;/source&gt;
        &lt;translation&gt;Port access&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;OK&lt;/source&gt;
        &lt;translation&gt;OK&lt;/translation&gt;
    &lt;/message&gt;
    &lt;message&gt;
        &lt;source&gt;Port test</translation>
    </message>
    <message>
        <source>Checks that the port opens and that the detector and the bridge answer</source>
        <translation>Checks that the port opens and that the detector and the bridge answer</translation>
    </message>
</context>
<context>
    <name>kolm::chart::ui::SweepChart</name>
    <message>
        <source>Zoom back</source>
        <translation>Zoom back</translation>
    </message>
    <message>
        <source>Zoom forward</source>
        <translation>Zoom forward</translation>
    </message>
    <message>
        <source>Whole span (double-click)</source>
        <translation>Whole span (double-click)</translation>
    </message>
</context>
<context>
    <name>kolm::common::ui::RecentFiles</name>
    <message>
        <source>Recent files</source>
        <translation>Recent files</translation>
    </message>
</context>
<context>
    <name>kolm::powermeter::ui::PowerMeterWindow</name>
    <message>
        <source>The reference level was stopped before its end: level.rif and the reference in use were not changed.</source>
        <translation>The reference level was stopped before its end: level.rif and the reference in use were not changed.</translation>
    </message>
    <message>
        <source>The reference level was measured but level.rif could not be written: %1</source>
        <translation>The reference level was measured but level.rif could not be written: %1</translation>
    </message>
    <message>
        <source>Reference level stored in level.rif.</source>
        <translation>Reference level stored in level.rif.</translation>
    </message>
    <message>
        <source>The crystal calibration was stopped before its end: Quartz.rif and the reference in use were not changed.</source>
        <translation>The crystal calibration was stopped before its end: Quartz.rif and the reference in use were not changed.</translation>
    </message>
    <message>
        <source>The crystal fixture was measured but Quartz.rif could not be written: %1</source>
        <translation>The crystal fixture was measured but Quartz.rif could not be written: %1</translation>
    </message>
    <message>
        <source>The chart %1 was not opened: %2 Nothing was changed.</source>
        <translation>The chart %1 was not opened: %2 Nothing was changed.</translation>
    </message>
    <message>
        <source>There is no chart to save yet: run a sweep or open a chart first.</source>
        <translation>There is no chart to save yet: run a sweep or open a chart first.</translation>
    </message>
    <message>
        <source>The chart could not be saved as %1: %2 An earlier file of that name is left as it was.</source>
        <translation>The chart could not be saved as %1: %2 An earlier file of that name is left as it was.</translation>
    </message>
    <message>
        <source>The chart %1 was not put in memory: %2 The memory trace was not changed.</source>
        <translation>The chart %1 was not put in memory: %2 The memory trace was not changed.</translation>
    </message>
    <message>
        <source>Power Meter Sweep</source>
        <translation>Power Meter Sweep</translation>
    </message>
    <message>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Open Chart</source>
        <translation>Open Chart</translation>
    </message>
    <message>
        <source>Save Chart as</source>
        <translation>Save Chart as</translation>
    </message>
    <message>
        <source>Exi Power Meter</source>
        <translation>Exit Power Meter</translation>
    </message>
    <message>
        <source>Parameters</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>Compare</translation>
    </message>
    <message>
        <source>This Chart in memory</source>
        <translation>This Chart in memory</translation>
    </message>
    <message>
        <source>File in memory</source>
        <translation>File in memory</translation>
    </message>
    <message>
        <source>Calibrate</source>
        <translation>Calibrate</translation>
    </message>
    <message>
        <source>0 dBm</source>
        <translation>0 dBm</translation>
    </message>
    <message>
        <source>-60 dBm</source>
        <translation>-60 dBm</translation>
    </message>
    <message>
        <source>default</source>
        <translation>default</translation>
    </message>
    <message>
        <source>Reference_Level</source>
        <translation>Reference Level</translation>
    </message>
    <message>
        <source>CrystalMeter</source>
        <translation>Crystal Meter</translation>
    </message>
    <message>
        <source>Quarzo</source>
        <translation>Measure crystal</translation>
    </message>
    <message>
        <source>calQuarz</source>
        <translation>Calibrate crystal fixture</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>Print_Screen</source>
        <translation>Print Screen</translation>
    </message>
    <message>
        <source>About_Power_Meter</source>
        <translation>About Power Meter</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Stop the sweep or the reference measurement (Esc)</source>
        <translation>Stop the sweep or the reference measurement (Esc)</translation>
    </message>
    <message>
        <source>Single sweep</source>
        <translation>Single sweep</translation>
    </message>
    <message>
        <source>Continuous sweep</source>
        <translation>Continuous sweep</translation>
    </message>
    <message>
        <source>POWER METER SWEEP</source>
        <translation>POWER METER SWEEP</translation>
    </message>
    <message>
        <source>File name</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>Delay</source>
        <translation>Delay</translation>
    </message>
    <message>
        <source>Delay in msec</source>
        <translation>Delay in msec</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>Points</source>
        <translation>Points</translation>
    </message>
    <message>
        <source>Frequency Axsis Points</source>
        <translation>Frequency Axis Points</translation>
    </message>
    <message>
        <source>Level at the top, dBm</source>
        <translation>Level at the top, dBm</translation>
    </message>
    <message>
        <source>Level at the bottom, dBm</source>
        <translation>Level at the bottom, dBm</translation>
    </message>
    <message>
        <source>Cursor: MHz and dBm</source>
        <translation>Cursor: MHz and dBm</translation>
    </message>
    <message>
        <source>The traces&apos; levels at the cursor</source>
        <translation>The traces&apos; levels at the cursor</translation>
    </message>
    <message>
        <source>Signal Generator</source>
        <translation>Signal Generator</translation>
    </message>
    <message>
        <source>Start frequency, MHz</source>
        <translation>Start frequency, MHz</translation>
    </message>
    <message>
        <source>Start&lt;----------MHz---------&gt;Stop</source>
        <translation>Start&lt;----------MHz---------&gt;Stop</translation>
    </message>
    <message>
        <source>Stop frequency, MHz</source>
        <translation>Stop frequency, MHz</translation>
    </message>
    <message>
        <source>Single sweep (F5)</source>
        <translation>Single sweep (F5)</translation>
    </message>
    <message>
        <source>Continuous sweep (Shift+F5)</source>
        <translation>Continuous sweep (Shift+F5)</translation>
    </message>
    <message>
        <source>Screen</source>
        <translation>Screen</translation>
    </message>
    <message>
        <source>trace: %1</source>
        <translation>trace: %1</translation>
    </message>
    <message>
        <source>trace</source>
        <translation>trace</translation>
    </message>
    <message>
        <source>memory: %1</source>
        <translation>memory: %1</translation>
    </message>
    <message>
        <source>reference level (level.rif)</source>
        <translation>reference level (level.rif)</translation>
    </message>
    <message>
        <source>stored reference level</source>
        <translation>stored reference level</translation>
    </message>
    <message>
        <source>crystal through path (Quartz.rif)</source>
        <translation>crystal through path (Quartz.rif)</translation>
    </message>
    <message>
        <source>this chart</source>
        <translation>this chart</translation>
    </message>
</context>
<context>
    <name>kolm::print::ui::PrinterPropertiesDialog</name>
    <message>
        <source>Properties: </source>
        <translation>Properties: </translation>
    </message>
</context>
<context>
    <name>kolm::print::ui::frmStampaFCPB</name>
    <message>
        <source>Print Diagrams</source>
        <translation>Print Diagrams</translation>
    </message>
    <message>
        <source>Printer</source>
        <translation>Printer</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Properties</translation>
    </message>
    <message>
        <source>Layout</source>
        <translation>Layout</translation>
    </message>
    <message>
        <source>Printing...</source>
        <translation>Printing...</translation>
    </message>
    <message>
        <source>Margins in mm</source>
        <translation>Margins in mm</translation>
    </message>
    <message>
        <source>Center Print</source>
        <translation>Center Print</translation>
    </message>
    <message>
        <source>Imposta i margini a 0 </source>
        <translation>Set the margins to 0</translation>
    </message>
    <message>
        <source>Dimensions in mm</source>
        <translation>Dimensions in mm</translation>
    </message>
    <message>
        <source>&amp;Fix Dimensions</source>
        <translation>&amp;Fix Dimensions</translation>
    </message>
    <message>
        <source>M a x</source>
        <translation>M a x</translation>
    </message>
    <message>
        <source>Usa tutto il foglio </source>
        <translation>Use the whole sheet</translation>
    </message>
    <message>
        <source>OK o Invio per confermare </source>
        <translation>OK or Enter to confirm</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Exit </source>
        <translation>Close</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>Widtht:</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>[mm]</source>
        <translation>[mm]</translation>
    </message>
    <message>
        <source>Height:</source>
        <translation>Height:</translation>
    </message>
    <message>
        <source>Out of Layout</source>
        <translation>Out of Layout</translation>
    </message>
    <message>
        <source>L&amp;eft:</source>
        <translation>L&amp;eft:</translation>
    </message>
    <message>
        <source>T&amp;op:</source>
        <translation>T&amp;op:</translation>
    </message>
    <message>
        <source>Width:</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>Sca&amp;le:</source>
        <translation>Sca&amp;le:</translation>
    </message>
    <message>
        <source>1 :  </source>
        <translation>1 :  </translation>
    </message>
    <message>
        <source>N. &amp;of copies:</source>
        <translation>N. &amp;of copies:</translation>
    </message>
    <message>
        <source> Print Preview </source>
        <translation>Print preview</translation>
    </message>
</context>
<context>
    <name>status</name>
    <message>
        <source>Sweep stopped at point %1 of %2</source>
        <translation>Sweep stopped at point %1 of %2</translation>
    </message>
    <message>
        <source>Pass done in %1 ms</source>
        <translation>Pass done in %1 ms</translation>
    </message>
    <message>
        <source>Pass done in %1 s</source>
        <translation>Pass done in %1 s</translation>
    </message>
    <message>
        <source>Saved to %1</source>
        <translation>Saved to %1</translation>
    </message>
    <message>
        <source>PDF written to %1</source>
        <translation>PDF written to %1</translation>
    </message>
</context>
</TS>
