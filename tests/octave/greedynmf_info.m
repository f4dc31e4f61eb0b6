function info = greedynmf_info (varargin)
  % The info struct of greedynmf (varargin{:}), for calls that take one output.
  [~, ~, info] = greedynmf (varargin{:});
end
