function v = greedysweep_version()
% GREEDYSWEEP_VERSION  The version of the greedysweep toolkit, as text.
%
%   v = greedysweep_version()
%
%   The same as the Octave package's version; NEWS lists what changed.

  v = '0.2.0';
end
