#!/bin/sh
# Makes a settings file from its plain form: ten values, one a line, each byte
# enciphered as (byte + 187) mod 256, CR LF after every line. Until the authors'
# tool does it, this builds the sample's data/1013.dat.
#   sample-settings.sh PLAIN.txt OUT.dat
# Refuses (a message, a non-zero exit, nothing written) a file that does not hold ten lines, and a
# value with a byte that would encipher to a line end or a zero byte (E, O, R)
# or to a trimmed space at either end (e).
set -u
[ $# -eq 2 ] || { echo "usage: sample-settings.sh PLAIN.txt OUT.dat" >&2; exit 2; }
exec perl -e '
    my ($plain, $out) = @ARGV;
    open(my $in, "<:raw", $plain) or die "sample-settings: cannot read $plain\n";
    my @values = map { s/\r?\n\z//r } <$in>;
    close $in;
    @values == 10 or die "sample-settings: $plain has " . scalar(@values) . " lines, not 10\n";
    my $bytes = "";
    for my $n (0 .. 9) {
        my $value = $values[$n];
        $value =~ /[EOR]/ and die "sample-settings: line " . ($n + 1) . " holds E, O or R, which encipher to a zero byte or a line end\n";
        $value =~ /^e|e\z/ and die "sample-settings: line " . ($n + 1) . " starts or ends with e, which enciphers to a space\n";
        $bytes .= join("", map { chr((ord($_) + 187) % 256) } split(//, $value)) . "\r\n";
    }
    open(my $o, ">:raw", $out) or die "sample-settings: cannot write $out\n";
    print $o $bytes;
    close $o or die "sample-settings: cannot write $out\n";
' "$1" "$2"
